#include "ChatDbRules.h"


namespace {

CString Normalised(const char* text) {
  CString value(text ? text : "");
  value.Trim();
  value.MakeLower();
  return value;
}

}  // namespace

std::vector<CString> SplitMembers(const char* members) {
  std::vector<CString> ids;
  const CString text(members ? members : "");
  int start = 0;
  while (start <= text.GetLength()) {
    int comma = text.Find(',', start);
    if (comma < 0) comma = text.GetLength();
    if (comma > start) ids.push_back(text.Mid(start, comma - start));
    start = comma + 1;
  }
  return ids;
}

CString JoinMembers(const std::vector<CString>& ids) {
  CString joined;
  for (const CString& id : ids) {
    if (id.IsEmpty()) continue;
    if (!joined.IsEmpty()) joined += ",";
    joined += id;
  }
  return joined;
}

bool IsMember(const char* members, const char* contactId) {
  if (!contactId || !*contactId) return false;
  for (const CString& id : SplitMembers(members))
    if (id == contactId) return true;
  return false;
}

bool SameTagName(const char* a, const char* b) { return Normalised(a) == Normalised(b); }
