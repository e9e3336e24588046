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
// A statement that selects one group by its number.
CString ByGroupId(const char* format, int groupId) {
  CString sql;
  sql.Format(format, groupId);
  return sql;
}

// Opens one changeable statement and lets change set the fields of its first
// row, which is then saved.
template <class ChangeRow>
RowChange ChangeFirst(const CString& dbPath, const char* sql, ChangeRow change) {
  COrbADO db;
  if (!db.ConnectAccess(dbPath)) return RowChange::Failed;
  RowChange result = RowChange::Failed;
  if (db.OpenTable(sql, adOpenKeyset, adLockOptimistic, adCmdText))
    result = !db.First() ? RowChange::NoRow : (change(db) && db.Update()) ? RowChange::Done : RowChange::Failed;
  db.DisConnect();
  return result;
}

// Runs one statement that returns no rows (a removal or a change of many
// rows at once, each atomic in the file).
bool Execute(const CString& dbPath, const char* sql) {
  COrbADO db;
  if (!db.ConnectAccess(dbPath)) return false;
  const bool done = db.OpenTable(sql, adOpenStatic, adLockReadOnly, adCmdText);
  db.DisConnect();
  return done;
}

// Whether a read-only statement finds a row; nullopt when it cannot run.
std::optional<bool> Exists(const CString& dbPath, const char* sql) {
  COrbADO db;
  if (!db.ConnectAccess(dbPath)) return std::nullopt;
  std::optional<bool> found;
  if (db.OpenTable(sql, adOpenStatic, adLockReadOnly, adCmdText)) found = db.First();
  db.DisConnect();
  return found;
}

bool IsEditableTagTable(const char* table) {
  return table && (std::strcmp(table, CChatDirectory::kChatObjectTags) == 0 ||
                   std::strcmp(table, CChatDirectory::kGroupTags) == 0);
}

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
  ChatTagRow row;
  const int added = AddTagRow(table, name, row);
  if (added >= 0) number = row.tag;
  return added;
}

int CChatDirectory::AddTagRow(const char* table, const char* name, ChatTagRow& row) const {
  if (!IsEditableTagTable(table)) return -1;
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
      row = ChatTagRow{Number(db, "id"), tag, Text(db, "name")};
      db.DisConnect();
      return 0;
    }
    last = tag;
  }
  const int next = db.RecordCount() > 0 ? last + 1 : 1;
  const bool saved = db.AppendBlank() && db.SetField("name", name) && db.SetField("tag", next) && db.Update();
  // After Update the record holds what the file stored, its number included.
  if (saved) row = ChatTagRow{Number(db, "id"), next, Text(db, "name")};
  db.DisConnect();
  return saved ? 1 : -1;
}

int CChatDirectory::AppendGroup(const char* name, int tag, const char* title, const char* members) const {
  ChatGroupRow group{0, name ? name : "", tag, title ? title : "", members ? members : ""};
  return SaveGroup(group, true) == GroupSave::Saved ? group.groupid : 0;
}

GroupSave CChatDirectory::SaveGroup(ChatGroupRow& group, bool create) const {
  COrbADO db;
  if (!db.ConnectAccess(m_strDBPath)) return GroupSave::NoDatabase;
  const CString sql = create ? CString("SELECT * FROM CustChatGroupList order by groupid")
                             : ByGroupId("SELECT * FROM CustChatGroupList where groupid=%d", group.groupid);
  if (!db.OpenTable(sql, adOpenKeyset, adLockOptimistic, adCmdText)) {
    db.DisConnect();
    return GroupSave::NoTable;
  }
  GroupSave result = GroupSave::Failed;
  if (create) {
    const int groupId = db.End() ? Number(db, "groupid") + 1 : 1;
    if (db.AppendBlank()) {
      group.groupid = groupId;
      result = GroupSave::Saved;
    }
  } else {
    result = db.First() ? GroupSave::Saved : GroupSave::NoRow;
  }
  if (result == GroupSave::Saved &&
      !(db.SetField("groupid", group.groupid) && db.SetField("name", group.name.GetString()) && db.SetField("tag", group.tag) &&
        db.SetField("title", group.title.GetString()) && db.SetField("members", group.members.GetString()) && db.Update()))
    result = GroupSave::Failed;
  db.DisConnect();
  return result;
}

bool CChatDirectory::ReadContacts(int limit, std::vector<ContactRow>& rows) const {
  CString sql;
  sql.Format("select top %d * FROM ContactList", limit);
  return ReadAll(m_strDBPath, sql, rows, [](const COrbADO& db) {
    return ContactRow{Text(db, "contactid"), Text(db, "name"), Text(db, "role")};
  });
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

bool CChatDirectory::ReadTagsByNumber(const char* table, std::vector<ChatTagRow>& rows) const {
  rows.clear();
  if (!IsTagTable(table)) return false;
  CString sql;
  sql.Format("SELECT * FROM %s order by tag", table);
  return ReadAll(m_strDBPath, sql, rows, [](const COrbADO& db) {
    return ChatTagRow{Number(db, "id"), Number(db, "tag"), Text(db, "name")};
  });
}

RowChange CChatDirectory::RenameTag(const char* table, int id, const char* name) const {
  if (!IsEditableTagTable(table)) return RowChange::Failed;
  CString sql;
  sql.Format("SELECT * FROM %s where id=%d", table, id);
  return ChangeFirst(m_strDBPath, sql, [&](COrbADO& db) { return db.SetField("name", name ? name : ""); });
}

namespace {
// Removes the row with record number id from a tag table, after moving the
// items of its tag number to no tag (0) when moveItems is set.
RowChange DeleteTagWithItems(const CString& dbPath, const char* tagTable, const char* itemTable, int id, int tag,
                             bool moveItems, bool& itemsMoved) {
  CString sql;
  itemsMoved = false;
  if (moveItems) {
    sql.Format("UPDATE %s SET tag=0 WHERE tag=%d", itemTable, tag);
    itemsMoved = Execute(dbPath, sql);
    if (!itemsMoved) return RowChange::Failed;
  }
  sql.Format("SELECT * FROM %s where id=%d", tagTable, id);
  const std::optional<bool> found = Exists(dbPath, sql);
  if (!found) return RowChange::Failed;
  if (!*found) return RowChange::NoRow;
  sql.Format("DELETE FROM %s where id=%d", tagTable, id);
  return Execute(dbPath, sql) ? RowChange::Done : RowChange::Failed;
}

}  // namespace

RowChange CChatDirectory::DeleteChatObjectTag(int id, int tag, bool moveObjects, bool& objectsMoved) const {
  return DeleteTagWithItems(m_strDBPath, kChatObjectTags, "CustChatObjectList", id, tag, moveObjects, objectsMoved);
}

RowChange CChatDirectory::DeleteGroupTag(int id, int tag, bool moveGroups, bool& groupsMoved) const {
  return DeleteTagWithItems(m_strDBPath, kGroupTags, "CustChatGroupList", id, tag, moveGroups, groupsMoved);
}

RowChange CChatDirectory::RenameGroup(int groupId, const char* name) const {
  return ChangeFirst(m_strDBPath, ByGroupId("SELECT * FROM CustChatGroupList where groupid=%d", groupId),
                     [&](COrbADO& db) { return db.SetField("name", name ? name : ""); });
}

RowChange CChatDirectory::SetGroupTag(int groupId, int tag) const {
  return ChangeFirst(m_strDBPath, ByGroupId("SELECT * FROM CustChatGroupList where groupid=%d", groupId),
                     [&](COrbADO& db) { return db.SetField("tag", tag); });
}

RowChange CChatDirectory::DeleteGroup(int groupId) const {
  const std::optional<bool> found =
      Exists(m_strDBPath, ByGroupId("SELECT * FROM CustChatGroupList where groupid=%d", groupId));
  if (!found) return RowChange::Failed;
  if (!*found) return RowChange::NoRow;
  return Execute(m_strDBPath, ByGroupId("DELETE FROM CustChatGroupList where groupid=%d", groupId))
             ? RowChange::Done
             : RowChange::Failed;
}

int CChatDirectory::AddChatObject(const char* contactId, const char* name, int tag, const char* role) const {
  COrbADO db;
  if (!db.ConnectAccess(m_strDBPath)) return -1;
  int added = -1;
  if (db.OpenTable(ById("SELECT * FROM CustChatObjectList where contactid='%s'", contactId), adOpenKeyset,
                   adLockOptimistic, adCmdText)) {
    if (db.First())
      added = 0;
    else if (db.AppendBlank() && db.SetField("contactid", contactId ? contactId : "") &&
             db.SetField("name", name ? name : "") && db.SetField("tag", tag) && db.SetField("role", role ? role : "") &&
             db.SetField("alias", "") && db.Update())
      added = 1;
  }
  db.DisConnect();
  return added;
}

RowChange CChatDirectory::SetChatObjectTag(const char* contactId, int tag) const {
  return ChangeFirst(m_strDBPath, ById("SELECT * FROM CustChatObjectList where contactid='%s'", contactId),
                     [&](COrbADO& db) { return db.SetField("tag", tag); });
}

RowChange CChatDirectory::SetChatObjectAlias(const char* contactId, const char* alias) const {
  return ChangeFirst(m_strDBPath, ById("SELECT * FROM CustChatObjectList where contactid='%s'", contactId),
                     [&](COrbADO& db) { return db.SetField("alias", alias ? alias : ""); });
}

RowChange CChatDirectory::DeleteChatObject(const char* contactId) const {
  const CString sql = ById("SELECT * FROM CustChatObjectList where contactid='%s'", contactId);
  const std::optional<bool> found = Exists(m_strDBPath, sql);
  if (!found) return RowChange::Failed;
  if (!*found) return RowChange::NoRow;
  return Execute(m_strDBPath, ById("DELETE FROM CustChatObjectList where contactid='%s'", contactId))
             ? RowChange::Done
             : RowChange::Failed;
}

CContactPager::CContactPager() = default;
CContactPager::~CContactPager() { Close(); }

// The table is counted once and each page read by itself: reading a whole
// ContactList of 100,000 rows at once took longer than the user should wait
// for the first page. Pages come in the table's own order (its record keys).
bool CContactPager::Open(const char* dbPath) {
  Close();
  auto db = std::make_unique<COrbADO>();
  if (!db->ConnectAccess(dbPath ? dbPath : "")) return false;
  if (!db->OpenTable("SELECT count(*) AS n FROM ContactList", adOpenStatic, adLockReadOnly, adCmdText) ||
      !db->First()) {
    db->DisConnect();
    return false;
  }
  m_nRecordCount = Number(*db, "n");
  m_pDb = std::move(db);
  return true;
}

void CContactPager::Close() {
  if (m_pDb) m_pDb->DisConnect();
  m_pDb.reset();
  m_nRecordCount = 0;
}

bool CContactPager::IsOpen() const { return m_pDb != nullptr; }
long CContactPager::RecordCount() const { return m_nRecordCount; }

std::vector<ContactRow> CContactPager::ReadPage(long first, int count) {
  std::vector<ContactRow> rows;
  if (!m_pDb || first < 1 || count < 1 || first > m_nRecordCount) return rows;
  CString sql;
  sql.Format("SELECT * FROM ContactList ORDER BY rowid LIMIT %d OFFSET %ld", count, first - 1);
  if (!m_pDb->OpenTable(sql, adOpenStatic, adLockReadOnly, adCmdText)) return rows;
  for (m_pDb->First(); !m_pDb->isEOF(); m_pDb->Next()) {
    CString role = Text(*m_pDb, "role");
    role.Trim();
    rows.push_back(ContactRow{Text(*m_pDb, "contactid"), Text(*m_pDb, "name"), role});
  }
  return rows;
}
