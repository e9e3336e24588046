#include "ChatDbRules.h"

#include <cstring>

#include "OrbADO.h"

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

int AddTag(const char* dbPath, const char* table, const char* name, int& number) {
  // The table name goes into the statement, so only the two tag tables pass.
  if (!table || (std::strcmp(table, "CustChatObjectTag") != 0 && std::strcmp(table, "CustChatGroupTag") != 0))
    return -1;
  if (Normalised(name).IsEmpty()) return -1;
  COrbADO db;
  if (!db.ConnectAccess(dbPath)) return -1;
  CString sql;
  sql.Format("SELECT * FROM %s order by tag", table);
  if (!db.OpenTable(sql, adOpenKeyset, adLockOptimistic, adCmdText)) {
    db.DisConnect();
    return -1;
  }
  int last = 0;
  for (db.First(); !db.isEOF(); db.Next()) {
    const int tag = db.GetField("tag").ToInt();
    if (SameTagName(db.GetField("name").ToString(), name)) {
      number = tag;
      db.DisConnect();
      return 0;
    }
    last = tag;
  }
  const int next = db.RecordCount() > 0 ? last + 1 : 1;
  const bool saved = db.AppendBlank() && db.SetField("name", name) && db.SetField("tag", next) && db.Update();
  db.DisConnect();
  if (!saved) return -1;
  number = next;
  return 1;
}

int AppendGroup(const char* dbPath, const char* name, int tag, const char* title, const char* members) {
  COrbADO db;
  if (!db.ConnectAccess(dbPath)) return 0;
  if (!db.OpenTable("SELECT * FROM CustChatGroupList order by groupid", adOpenKeyset, adLockOptimistic, adCmdText)) {
    db.DisConnect();
    return 0;
  }
  const int groupId = db.End() ? db.GetField("groupid").ToInt() + 1 : 1;
  const bool saved = db.AppendBlank() && db.SetField("groupid", groupId) && db.SetField("name", name ? name : "") &&
                     db.SetField("tag", tag) && db.SetField("title", title ? title : "") &&
                     db.SetField("members", members ? members : "") && db.Update();
  db.DisConnect();
  return saved ? groupId : 0;
}
