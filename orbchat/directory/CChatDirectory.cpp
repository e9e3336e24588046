#include "directory/CChatDirectory.h"

#include <cstring>

#include "OrbADO.h"
#include "support/ChatDbRules.h"

namespace {

bool IsTagTable(const char* table) {
  return table && (std::strcmp(table, CChatDirectory::kChatObjectTags) == 0 ||
                   std::strcmp(table, CChatDirectory::kGroupTags) == 0 ||
                   std::strcmp(table, CChatDirectory::kCommunityTags) == 0);
}

CString Text(const COrbADO& db, const char* column) { return db.GetField(column).ToString(); }
std::optional<CString> TextOrNull(const COrbADO& db, const char* column) {
  const COrbVariant value = db.GetField(column);
  return value.IsNull() ? std::nullopt : std::optional<CString>(value.ToString());
}

// A statement that compares one column with an id. The database component
// binds what stands between the quotes as one value, so the id is put in
// unchanged.
CString ById(const char* format, const char* id) {
  CString sql;
  sql.Format(format, id ? id : "");
  return sql;
}

// Runs one read-only statement and hands its first row to read; false when
// there is none or the statement cannot run.
template <class ReadRow>
bool ReadFirst(const CString& dbPath, const char* sql, ReadRow read) {
  COrbADO db;
  if (!db.ConnectAccess(dbPath)) return false;
  const bool found = db.OpenTable(sql, adOpenStatic, adLockReadOnly, adCmdText) && db.First();
  if (found) read(db);
  db.DisConnect();
  return found;
}
int Number(const COrbADO& db, const char* column) { return db.GetField(column).ToInt(); }

// Runs one read-only statement and hands every row to read; false (nothing
// read) when the database or the statement cannot be opened.
template <class Row, class ReadRow>
bool ReadAll(const CString& dbPath, const char* sql, std::vector<Row>& rows, ReadRow read) {
  rows.clear();
  COrbADO db;
  if (!db.ConnectAccess(dbPath)) return false;
  if (!db.OpenTable(sql, adOpenStatic, adLockReadOnly, adCmdText)) {
    db.DisConnect();
    return false;
  }
  for (db.First(); !db.isEOF(); db.Next()) rows.push_back(read(db));
  db.DisConnect();
  return true;
}

}  // namespace

bool CChatDirectory::ReadTags(const char* table, std::vector<ChatTagRow>& rows) const {
  rows.clear();
  // The table name goes into the statement, so only the tag tables pass.
  if (!IsTagTable(table)) return false;
  CString sql;
  sql.Format("SELECT * FROM %s", table);
  return ReadAll(m_strDBPath, sql, rows, [](const COrbADO& db) {
    return ChatTagRow{Number(db, "id"), Number(db, "tag"), Text(db, "name")};
  });
}

bool CChatDirectory::ReadChatObjects(std::vector<ChatObjectRow>& rows) const {
  return ReadAll(m_strDBPath, "SELECT * FROM CustChatObjectList", rows, [](const COrbADO& db) {
    return ChatObjectRow{Text(db, "contactid"), Text(db, "name"), Text(db, "alias"), Number(db, "tag"),
                         Text(db, "role")};
  });
}

bool CChatDirectory::ReadGroups(std::vector<ChatGroupRow>& rows) const {
  return ReadAll(m_strDBPath, "SELECT * FROM CustChatGroupList", rows, [](const COrbADO& db) {
    return ChatGroupRow{Number(db, "groupid"), Text(db, "name"), Number(db, "tag"), Text(db, "title"),
                        Text(db, "members")};
  });
}

bool CChatDirectory::ReadCommunities(std::vector<CommunityRow>& rows) const {
  return ReadAll(m_strDBPath, "SELECT * FROM CustCommunity", rows, [](const COrbADO& db) {
    return CommunityRow{Text(db, "groupid"), Text(db, "groupname"), Number(db, "tag"), Text(db, "groupdes"),
                        Text(db, "members")};
  });
}

int CChatDirectory::AddTag(const char* table, const char* name, int& number) const {
  if (!table || (std::strcmp(table, kChatObjectTags) != 0 && std::strcmp(table, kGroupTags) != 0)) return -1;
  CString trimmed(name ? name : "");
  trimmed.Trim();
  if (trimmed.IsEmpty()) return -1;
  COrbADO db;
  if (!db.ConnectAccess(m_strDBPath)) return -1;
  CString sql;
  sql.Format("SELECT * FROM %s order by tag", table);
  if (!db.OpenTable(sql, adOpenKeyset, adLockOptimistic, adCmdText)) {
    db.DisConnect();
    return -1;
  }
  int last = 0;
  for (db.First(); !db.isEOF(); db.Next()) {
    const int tag = Number(db, "tag");
    if (SameTagName(Text(db, "name"), name)) {
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

int CChatDirectory::AppendGroup(const char* name, int tag, const char* title, const char* members) const {
  COrbADO db;
  if (!db.ConnectAccess(m_strDBPath)) return 0;
  if (!db.OpenTable("SELECT * FROM CustChatGroupList order by groupid", adOpenKeyset, adLockOptimistic, adCmdText)) {
    db.DisConnect();
    return 0;
  }
  const int groupId = db.End() ? Number(db, "groupid") + 1 : 1;
  const bool saved = db.AppendBlank() && db.SetField("groupid", groupId) && db.SetField("name", name ? name : "") &&
                     db.SetField("tag", tag) && db.SetField("title", title ? title : "") &&
                     db.SetField("members", members ? members : "") && db.Update();
  db.DisConnect();
  return saved ? groupId : 0;
}

bool CChatDirectory::ReadChatObjectName(const char* contactId, CString& alias, CString& name) const {
  return ReadFirst(m_strDBPath, ById("SELECT * FROM CustChatObjectList where contactid='%s'", contactId),
                   [&](const COrbADO& db) {
                     alias = Text(db, "alias");
                     name = Text(db, "name");
                   });
}

bool CChatDirectory::ReadContactName(const char* contactId, CString& name) const {
  return ReadFirst(m_strDBPath, ById("SELECT * FROM ContactList where contactid='%s'", contactId),
                   [&](const COrbADO& db) { name = Text(db, "name"); });
}

bool CChatDirectory::RecordChatObject(const char* contactId, const char* name, int tag, const char* role) const {
  COrbADO db;
  if (!db.ConnectAccess(m_strDBPath)) return false;
  bool saved = db.OpenTable(ById("SELECT * FROM CustChatObjectList where contactid='%s'", contactId), adOpenKeyset,
                            adLockOptimistic, adCmdText);
  // A sender's every message records it again: a name that is already
  // right needs no write (and no commit).
  if (saved && db.First() && Text(db, "name") == CString(name ? name : "") && !db.GetField("name").IsNull()) {
    db.DisConnect();
    return true;
  }
  if (saved && !db.First())
    saved = db.AppendBlank() && db.SetField("contactid", contactId ? contactId : "") && db.SetField("tag", tag) &&
            db.SetField("role", role ? role : "") && db.SetField("alias", "");
  saved = saved && db.SetField("name", name ? name : "") && db.Update();
  db.DisConnect();
  return saved;
}

bool CChatDirectory::ReadCommunity(const char* groupId, CommunityColumns& row) const {
  return ReadFirst(m_strDBPath, ById("SELECT * FROM CustCommunity where groupid='%s'", groupId),
                   [&](const COrbADO& db) {
                     row.groupid = TextOrNull(db, "groupid");
                     row.groupname = TextOrNull(db, "groupname");
                     row.groupdes = TextOrNull(db, "groupdes");
                     row.members = TextOrNull(db, "members");
                   });
}
