#pragma once
// The user's directory in the local chat database, without any window: one
// function per statement the trees, their dialogs and the chat manager run,
// taking and returning plain rows. Every call opens the database file and
// closes it before it returns, so nothing stays open between user actions.
#include <memory>
#include <optional>
#include <vector>

#include "CString.h"

class COrbADO;

// A row of a tag table (CustChatObjectTag, CustChatGroupTag or
// CustCommunityTag); NULL columns read as 0 and empty text.
struct ChatTagRow {
  int id = 0;
  int tag = 0;
  CString name;
};

// A row of CustChatObjectList.
struct ChatObjectRow {
  CString contactid;
  CString name;
  CString alias;
  int tag = 0;
  CString role;
};

// A row of CustChatGroupList.
struct ChatGroupRow {
  int groupid = 0;
  CString name;
  int tag = 0;
  CString title;
  CString members;
};

// A row of CustCommunity.
struct CommunityRow {
  CString groupid;
  CString groupname;
  int tag = 0;
  CString groupdes;
  CString members;
};

// The columns of a CustCommunity row that are not NULL.
struct CommunityColumns {
  std::optional<CString> groupid;
  std::optional<CString> groupname;
  std::optional<CString> groupdes;
  std::optional<CString> members;
};

// A contact of ContactList as the contact browser lists it.
struct ContactRow {
  CString contactid;
  CString name;
  CString role;
};

// What saving a discussion group came to.
enum class GroupSave {
  Saved,       // the row was written
  NoRow,       // the group to change has no row; nothing was written
  NoDatabase,  // the database could not be opened
  NoTable,     // the group list could not be opened
  Failed,      // the row could not be written
};

// What a change of one row came to.
enum class RowChange {
  Done,    // the row was found and saved
  NoRow,   // no row was found; nothing was written
  Failed,  // the database or the statement failed, or the row could not be saved
};

class CChatDirectory {
 public:
  // The tag tables, by the names the database gives them.
  static constexpr const char* kChatObjectTags = "CustChatObjectTag";
  static constexpr const char* kGroupTags = "CustChatGroupTag";
  static constexpr const char* kCommunityTags = "CustCommunityTag";

  explicit CChatDirectory(const char* dbPath) : m_strDBPath(dbPath ? dbPath : "") {}

  // Each reader fills rows in the order the table gives them; false (and no
  // rows) when the database or the table cannot be opened.
  bool ReadTags(const char* table, std::vector<ChatTagRow>& rows) const;
  bool ReadChatObjects(std::vector<ChatObjectRow>& rows) const;
  bool ReadGroups(std::vector<ChatGroupRow>& rows) const;
  bool ReadCommunities(std::vector<CommunityRow>& rows) const;

  // Adds a tag (kChatObjectTags) or a category (kGroupTags) named name
  // unless one of that name exists (names compare trimmed and without regard
  // to case). The new number is one more than the highest in use, 1 in an
  // empty table. Returns 1 when a row was appended, 0 when the name exists,
  // -1 when the database, the table or the name (blank) is unusable; number
  // is the new or the existing row's number.
  int AddTag(const char* table, const char* name, int& number) const;
  // The same, handing back the whole row: the appended row as the file
  // stored it (its own record number included), or the existing row of that
  // name.
  int AddTagRow(const char* table, const char* name, ChatTagRow& row) const;
  // The tags of the table in ascending tag number (the tag selection lists).
  bool ReadTagsByNumber(const char* table, std::vector<ChatTagRow>& rows) const;
  // Sets the name of the tag or category whose record number is id.
  RowChange RenameTag(const char* table, int id, const char* name) const;
  // Removes the tag with record number id. With moveObjects its chat objects
  // (tag number tag) go to no tag (number 0) first, so none of them is lost
  // and none falls into a tag that later gets the freed number. objectsMoved
  // tells whether that first step was saved: when the removal then fails the
  // caller mirrors the move alone.
  RowChange DeleteChatObjectTag(int id, int tag, bool moveObjects, bool& objectsMoved) const;
  // The same for a category of the discussion groups: its groups go to no
  // category (number 0) first.
  RowChange DeleteGroupTag(int id, int tag, bool moveGroups, bool& groupsMoved) const;

  // Adds the chat object contactId unless it is there: 1 appended, 0 there
  // already (the row is left as it is), -1 on failure.
  int AddChatObject(const char* contactId, const char* name, int tag, const char* role) const;
  // Sets the tag number or the alias of the chat object contactId.
  RowChange SetChatObjectTag(const char* contactId, int tag) const;
  RowChange SetChatObjectAlias(const char* contactId, const char* alias) const;
  // Removes the chat object contactId.
  RowChange DeleteChatObject(const char* contactId) const;

  // Appends a discussion group with the next free group number (one more
  // than the highest, 1 for the first). Returns that number, 0 on failure.
  int AppendGroup(const char* name, int tag, const char* title, const char* members) const;
  // Writes all columns of group: a new row with the next free group number
  // (handed back in group.groupid) when create is set, else the row of
  // group.groupid.
  GroupSave SaveGroup(ChatGroupRow& group, bool create) const;
  // The first limit contacts of ContactList in the table's order; NULL
  // columns read as empty text.
  bool ReadContacts(int limit, std::vector<ContactRow>& rows) const;
  // Sets the name or the category number of the group groupId.
  RowChange RenameGroup(int groupId, const char* name) const;
  RowChange SetGroupTag(int groupId, int tag) const;
  // Removes the group groupId.
  RowChange DeleteGroup(int groupId) const;

  // The alias and name of the chat object contactId (the first row found);
  // false when there is none or the database cannot be read.
  bool ReadChatObjectName(const char* contactId, CString& alias, CString& name) const;
  // The name of contactId in ContactList (the first row found).
  bool ReadContactName(const char* contactId, CString& name) const;
  // Sets the name of the chat object contactId, appending it first with the
  // tag, the role and an empty alias when it is not there; an existing
  // object keeps its alias, tag and role; a name that is already right is
  // not written again. False when the row could not be saved.
  bool RecordChatObject(const char* contactId, const char* name, int tag, const char* role) const;
  // The community groupId (the first row found).
  bool ReadCommunity(const char* groupId, CommunityColumns& row) const;

  const CString& GetDBPath() const { return m_strDBPath; }

 private:
  CString m_strDBPath;
};

// The whole ContactList, kept open for paging (the contact browser): one
// connection from Open until Close or destruction.
class CContactPager {
 public:
  CContactPager();
  ~CContactPager();
  CContactPager(const CContactPager&) = delete;
  CContactPager& operator=(const CContactPager&) = delete;

  // Connects and counts the contacts; false when the database or the table
  // cannot be opened (nothing stays open then).
  bool Open(const char* dbPath);
  void Close();
  bool IsOpen() const;
  long RecordCount() const;
  // Up to count rows starting at the 1-based record number first; fewer at
  // the end of the table, none outside it. NULL columns read as empty text.
  std::vector<ContactRow> ReadPage(long first, int count);

 private:
  std::unique_ptr<COrbADO> m_pDb;
  long m_nRecordCount = 0;
};
