#include "ChatDbRules.h"

#include <string_view>

namespace {

CString Normalised(const char* text) {
  CString value(text ? text : "");
  value.Trim();
  value.MakeLower();
  return value;
}

}  // namespace

// One pass over the bytes: "," (0x2C) is never the trail byte of a GBK
// character, so it always separates ids, and lists of thousands stay cheap.
std::vector<CString> SplitMembers(const char* members) {
  std::vector<CString> ids;
  const std::string_view text(members ? members : "");
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) comma = text.size();
    if (comma > start) ids.emplace_back(text.data() + start, static_cast<int>(comma - start));
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
