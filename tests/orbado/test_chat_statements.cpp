// Every statement the chat module issues, run against a chat database the way
// the trees, dialogs and chat manager use it; ids that try to change a
// statement; and the database file the profile code creates.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "ChatDatabaseSchema.h"
#include "ChatDb.h"
#include "CodePage.h"
#include "OrbADO.h"

namespace {

CString Format(const char* format, const char* id) {
  CString sql;
  sql.Format(format, id);
  return sql;
}

CString Format(const char* format, int number) {
  CString sql;
  sql.Format(format, number);
  return sql;
}

// One read: connect, open read-only, collect column of every row, disconnect.
std::vector<std::string> ReadColumn(const CChatDb& file, const char* sql, const char* column) {
  std::vector<std::string> values;
  COrbADO db;
  if (!db.ConnectAccess(file.Path())) return {"<no connect>"};
  if (!db.OpenTable(sql, adOpenStatic, adLockReadOnly, adCmdText)) {
    db.DisConnect();
    return {"<no open>"};
  }
  for (db.First(); !db.isEOF(); db.Next()) {
    const COrbVariant value = db.GetField(column);
    values.push_back(value.IsNull() ? "<null>" : value.ToString().Str());
  }
  db.DisConnect();
  return values;
}

using Strings = std::vector<std::string>;

// Names (ANSI) of the files in a test folder.
Strings FileNames(const CTestFolder& folder) {
  Strings names;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((CodePage::AnsiToWide(folder.Root()) + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(CodePage::WideToAnsi(found.cFileName).Str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

const char* const kDirectory =
    "INSERT INTO ContactList VALUES ('c1001', '张三', 'c');"
    "INSERT INTO ContactList VALUES ('c1002', NULL, 'c');"
    "INSERT INTO ContactList VALUES ('p1003', '王五', NULL);"
    "INSERT INTO CustChatObjectTag (tag, name) VALUES (1, '好友');"
    "INSERT INTO CustChatObjectTag (tag, name) VALUES (3, '同事');"
    "INSERT INTO CustChatObjectTag (tag, name) VALUES (2, '同学');"
    "INSERT INTO CustChatObjectList (contactid, name, alias, tag, role) VALUES ('c1001', '张三', '', 1, 'c');"
    "INSERT INTO CustChatObjectList (contactid, name, alias, tag, role) VALUES ('p1003', '王五', '老王', 3, 'p');"
    "INSERT INTO CustChatGroupTag (tag, name) VALUES (1, '项目');"
    "INSERT INTO CustChatGroupList (groupid, name, tag, title, members) VALUES (1, '一组', 1, '一组讨论', 'c1001,p1003');"
    "INSERT INTO CustChatGroupList (groupid, name, tag, title, members) VALUES (4, '四组', 1, '四组讨论', 'c1001');"
    "INSERT INTO CustCommunityTag (id, tag, name) VALUES (1, 1, '社区');"
    "INSERT INTO CustCommunityTag (id, tag, name) VALUES (2, NULL, NULL);"
    "INSERT INTO CustCommunity (groupid, groupname, tag, groupdes, members) "
    "VALUES ('88', '读书会', 1, '每周一书', 'c1001,c1002,');"
    "INSERT INTO CustCommunity (groupid, groupname, tag, groupdes, members) VALUES ('89', NULL, NULL, NULL, NULL);";

class ChatStatements : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_file.Exec(kDirectory)); }
  CChatDb m_file;
};

}  // namespace

TEST_F(ChatStatements, ContactListLookupsPagingAndTheFirst300) {
  // Display name of a contact; a NULL name reads as empty text.
  EXPECT_EQ(ReadColumn(m_file, Format("SELECT * FROM ContactList where contactid='%s'", "c1001"), "name"),
            Strings{"张三"});
  {
    COrbADO db;
    ASSERT_TRUE(db.ConnectAccess(m_file.Path()));
    ASSERT_TRUE(db.OpenTable(Format("SELECT * FROM ContactList where contactid='%s'", "c1002"), adOpenStatic,
                             adLockReadOnly, adCmdText));
    EXPECT_EQ(db.GetField("name").vt, VT_NULL);
    EXPECT_STREQ(db.GetField("name").ToString(), "");
  }
  EXPECT_TRUE(ReadColumn(m_file, Format("SELECT * FROM ContactList where contactid='%s'", "c9"), "name").empty());
  // Ids compare without case, as in the Access file.
  EXPECT_EQ(ReadColumn(m_file, Format("SELECT * FROM ContactList where contactid='%s'", "C1001"), "name"),
            Strings{"张三"});

  // 350 contacts in all: the browser's pages and the dialog's first 300.
  std::string rows = "BEGIN;";
  for (int i = 4; i <= 350; ++i) rows += "INSERT INTO ContactList VALUES ('x" + std::to_string(i) + "', 'n', 'x');";
  ASSERT_TRUE(m_file.Exec((rows + "COMMIT;").c_str()));
  COrbADO db;
  ASSERT_TRUE(db.ConnectAccess(m_file.Path()));
  ASSERT_TRUE(db.OpenTable("select * from ContactList", adOpenStatic, adLockReadOnly, adCmdText));
  EXPECT_EQ(db.RecordCount(), 350);
  db.First();
  ASSERT_TRUE(db.Move((4 - 1) * 100 + 1));  // first record of page 4
  EXPECT_STREQ(db.GetField("contactid").ToString(), "x301");
  int onPage = 0;
  for (int i = 0; i < 100 && !db.isEOF(); ++i, db.Next()) ++onPage;
  EXPECT_EQ(onPage, 50);
  db.DisConnect();
  EXPECT_EQ(ReadColumn(m_file, "select top 300 * FROM ContactList", "contactid").size(), 300u);
}

TEST_F(ChatStatements, ChatObjectTagsAreListedAddedAndRenamed) {
  EXPECT_EQ(ReadColumn(m_file, "SELECT * FROM CustChatObjectTag", "name"), (Strings{"好友", "同事", "同学"}));
  EXPECT_EQ(ReadColumn(m_file, "SELECT * FROM CustChatObjectTag order by tag", "tag"), (Strings{"1", "2", "3"}));
  {
    // Add a tag: scan for the name, then append with the next number.
    COrbADO db;
    ASSERT_TRUE(db.ConnectAccess(m_file.Path()));
    ASSERT_TRUE(db.OpenTable("SELECT * FROM CustChatObjectTag order by tag", adOpenKeyset, adLockOptimistic, adCmdText));
    int last = 0;
    for (db.First(); !db.isEOF(); db.Next()) last = db.GetField("tag").lVal;
    ASSERT_TRUE(db.AppendBlank());
    ASSERT_TRUE(db.SetField("name", "家人"));
    ASSERT_TRUE(db.SetField("tag", last + 1));
    ASSERT_TRUE(db.Update());
    db.DisConnect();
  }
  const int id = atoi(m_file.Value("SELECT id FROM CustChatObjectTag WHERE tag=2"));
  {
    COrbADO db;
    ASSERT_TRUE(db.ConnectAccess(m_file.Path()));
    ASSERT_TRUE(db.OpenTable(Format("SELECT * FROM CustChatObjectTag where id=%d", id), adOpenKeyset, adLockOptimistic,
                             adCmdText));
    ASSERT_EQ(db.RecordCount(), 1);
    ASSERT_TRUE(db.SetField("name", "老同学"));
    ASSERT_TRUE(db.Update());
  }
  EXPECT_EQ(ReadColumn(m_file, "SELECT * FROM CustChatObjectTag order by tag", "name"),
            (Strings{"好友", "老同学", "同事", "家人"}));
  EXPECT_EQ(ReadColumn(m_file, "SELECT * FROM CustChatObjectTag order by tag", "tag"), (Strings{"1", "2", "3", "4"}));
}

TEST_F(ChatStatements, ChatObjectsAreRecordedMovedAndGivenRemarks) {
  EXPECT_EQ(ReadColumn(m_file, "SELECT * FROM CustChatObjectList", "contactid"), (Strings{"c1001", "p1003"}));
  EXPECT_EQ(ReadColumn(m_file, Format("SELECT * FROM CustChatObjectList where contactid='%s'", "p1003"), "alias"),
            Strings{"老王"});
  const char* const write = "SELECT * FROM CustChatObjectList where contactid='%s'";
  // Recording a sender twice appends once and refreshes the name.
  for (const char* name : {"赵六", "赵六六"}) {
    COrbADO db;
    ASSERT_TRUE(db.ConnectAccess(m_file.Path()));
    ASSERT_TRUE(db.OpenTable(Format(write, "c2002"), adOpenKeyset, adLockOptimistic, adCmdText));
    if (db.isEOF()) {
      ASSERT_TRUE(db.AppendBlank());
      ASSERT_TRUE(db.SetField("contactid", "c2002"));
      ASSERT_TRUE(db.SetField("tag", 2));
      ASSERT_TRUE(db.SetField("role", "c"));
      ASSERT_TRUE(db.SetField("alias", ""));
    }
    ASSERT_TRUE(db.SetField("name", name));
    ASSERT_TRUE(db.Update());
    db.DisConnect();
  }
  EXPECT_EQ(m_file.Count("CustChatObjectList"), 3);
  EXPECT_STREQ(m_file.Value("SELECT name || '/' || tag || '/' || role || '/' || alias FROM CustChatObjectList "
                            "WHERE contactid='c2002'"),
               "赵六六/2/c/");
  // Move to another tag, then set a remark, each through its own connection.
  const struct {
    const char* column;
    COrbVariant value;
  } edits[] = {{"tag", COrbVariant(3)}, {"alias", COrbVariant("小赵")}};
  for (const auto& edit : edits) {
    COrbADO db;
    ASSERT_TRUE(db.ConnectAccess(m_file.Path()));
    ASSERT_TRUE(db.OpenTable(Format(write, "c2002"), adOpenKeyset, adLockOptimistic, adCmdText));
    ASSERT_EQ(db.isEOF(), 0);
    ASSERT_TRUE(db.SetField(edit.column, edit.value));
    ASSERT_TRUE(db.Update());
  }
  EXPECT_STREQ(m_file.Value("SELECT tag || '/' || alias FROM CustChatObjectList WHERE contactid='c2002'"), "3/小赵");
  EXPECT_STREQ(m_file.Value("SELECT tag || '/' || alias FROM CustChatObjectList WHERE contactid='p1003'"), "3/老王");
}

TEST_F(ChatStatements, GroupCategoriesAndGroupsAreListedCreatedAndSaved) {
  EXPECT_EQ(ReadColumn(m_file, "SELECT * FROM CustChatGroupTag", "name"), Strings{"项目"});
  EXPECT_EQ(ReadColumn(m_file, "SELECT * FROM CustChatGroupTag order by tag", "tag"), Strings{"1"});
  {
    COrbADO db;
    ASSERT_TRUE(db.ConnectAccess(m_file.Path()));
    ASSERT_TRUE(db.OpenTable("SELECT * FROM CustChatGroupTag order by tag", adOpenKeyset, adLockOptimistic, adCmdText));
    ASSERT_TRUE(db.End());
    const int next = db.GetField("tag").lVal + 1;
    ASSERT_TRUE(db.AppendBlank());
    ASSERT_TRUE(db.SetField("name", "兴趣"));
    ASSERT_TRUE(db.SetField("tag", next));
    ASSERT_TRUE(db.Update());
  }
  const int id = atoi(m_file.Value("SELECT id FROM CustChatGroupTag WHERE tag=2"));
  {
    COrbADO db;
    ASSERT_TRUE(db.ConnectAccess(m_file.Path()));
    ASSERT_TRUE(db.OpenTable(Format("SELECT * FROM CustChatGroupTag where id=%d", id), adOpenKeyset, adLockOptimistic,
                             adCmdText));
    ASSERT_TRUE(db.SetField("name", "爱好"));
    ASSERT_TRUE(db.Update());
  }
  EXPECT_EQ(ReadColumn(m_file, "SELECT * FROM CustChatGroupTag order by tag", "name"), (Strings{"项目", "爱好"}));

  EXPECT_EQ(ReadColumn(m_file, "SELECT * FROM CustChatGroupList", "title"), (Strings{"一组讨论", "四组讨论"}));
  {
    // Create a group: the highest number is reached with End.
    COrbADO db;
    ASSERT_TRUE(db.ConnectAccess(m_file.Path()));
    ASSERT_TRUE(db.OpenTable("SELECT * FROM CustChatGroupList order by groupid", adOpenKeyset, adLockOptimistic,
                             adCmdText));
    ASSERT_TRUE(db.End());
    const int groupId = db.GetField("groupid").lVal + 1;
    EXPECT_EQ(groupId, 5);
    ASSERT_TRUE(db.AppendBlank());
    ASSERT_TRUE(db.SetField("groupid", groupId));
    ASSERT_TRUE(db.SetField("name", "五组"));
    ASSERT_TRUE(db.SetField("tag", 2));
    ASSERT_TRUE(db.SetField("title", "五组讨论"));
    ASSERT_TRUE(db.SetField("members", "c1001,c1002,p1003"));
    ASSERT_TRUE(db.Update());
  }
  const struct {
    const char* column;
    COrbVariant value;
  } saves[] = {{"members", COrbVariant("c1001,p1003")}, {"tag", COrbVariant(1)}, {"name", COrbVariant("第五组")}};
  for (const auto& save : saves) {
    COrbADO db;
    ASSERT_TRUE(db.ConnectAccess(m_file.Path()));
    ASSERT_TRUE(db.OpenTable(Format("SELECT * FROM CustChatGroupList where groupid=%d", 5), adOpenKeyset,
                             adLockOptimistic, adCmdText));
    ASSERT_EQ(db.RecordCount(), 1);
    ASSERT_TRUE(db.SetField(save.column, save.value));
    ASSERT_TRUE(db.Update());
  }
  EXPECT_STREQ(m_file.Value("SELECT name || '/' || tag || '/' || title || '/' || members FROM CustChatGroupList "
                            "WHERE groupid=5"),
               "第五组/1/五组讨论/c1001,p1003");
  EXPECT_STREQ(m_file.Value("SELECT members FROM CustChatGroupList WHERE groupid=1"), "c1001,p1003");
}

TEST_F(ChatStatements, CommunitiesWithNullColumnsAreRead) {
  EXPECT_EQ(ReadColumn(m_file, "SELECT * FROM CustCommunityTag", "name"), (Strings{"社区", "<null>"}));
  EXPECT_EQ(ReadColumn(m_file, "SELECT * FROM CustCommunityTag", "tag"), (Strings{"1", "<null>"}));
  EXPECT_EQ(ReadColumn(m_file, "SELECT * FROM CustCommunity", "groupid"), (Strings{"88", "89"}));
  for (const char* format :
       {"SELECT * FROM CustCommunity where groupid='%s'", "SELECT * FROM CustCommunity WHERE groupid='%s'"}) {
    EXPECT_EQ(ReadColumn(m_file, Format(format, "88"), "members"), Strings{"c1001,c1002,"}) << format;
    EXPECT_EQ(ReadColumn(m_file, Format(format, "88"), "groupdes"), Strings{"每周一书"}) << format;
    EXPECT_EQ(ReadColumn(m_file, Format(format, "89"), "groupname"), Strings{"<null>"}) << format;
    EXPECT_TRUE(ReadColumn(m_file, Format(format, "8"), "groupname").empty()) << format;
  }
}

TEST_F(ChatStatements, IdsThatTryToChangeAStatementReadAndChangeNothing) {
  const char* const attacks[] = {
      "a' OR '1'='1",
      "x' OR contactid<>'",
      "x'; DELETE FROM ContactList; --",
      "' UNION SELECT groupid, groupname, members FROM CustCommunity WHERE '1'='1",
  };
  const char* const reads[] = {
      "SELECT * FROM ContactList where contactid='%s'",
      "SELECT * FROM CustChatObjectList where contactid='%s'",
      "SELECT * FROM CustCommunity where groupid='%s'",
      "SELECT * FROM CustCommunity WHERE groupid='%s'",
  };
  const int contacts = m_file.Count("ContactList"), objects = m_file.Count("CustChatObjectList");
  for (const char* attack : attacks) {
    for (const char* read : reads) {
      COrbADO db;
      ASSERT_TRUE(db.ConnectAccess(m_file.Path()));
      const bool opened = db.OpenTable(Format(read, attack), adOpenStatic, adLockReadOnly, adCmdText);
      EXPECT_TRUE(!opened || db.RecordCount() == 0) << read << " with " << attack;
    }
    // The manager's write: nothing found, so one row is appended, holding the
    // id exactly as it came.
    COrbADO db;
    ASSERT_TRUE(db.ConnectAccess(m_file.Path()));
    ASSERT_TRUE(db.OpenTable(Format("SELECT * FROM CustChatObjectList where contactid='%s'", attack), adOpenKeyset,
                             adLockOptimistic, adCmdText));
    EXPECT_EQ(db.RecordCount(), 0) << attack;
    ASSERT_TRUE(db.AppendBlank());
    ASSERT_TRUE(db.SetField("contactid", attack));
    ASSERT_TRUE(db.SetField("name", "n"));
    ASSERT_TRUE(db.Update());
    db.DisConnect();
    EXPECT_EQ(ReadColumn(m_file, Format("SELECT * FROM CustChatObjectList where contactid='%s'", attack), "contactid"),
              Strings{attack});
  }
  EXPECT_EQ(m_file.Count("ContactList"), contacts);
  EXPECT_EQ(m_file.Count("CustChatObjectList"), objects + 4);
  EXPECT_STREQ(m_file.Value("SELECT name FROM CustChatObjectList WHERE contactid='c1001'"), "张三");
}

TEST(ChatDatabaseFile, IsCreatedWithTheSevenTablesAndTheirColumns) {
  CTestFolder folder;
  const CString path = folder.Path("张三.dat");
  ASSERT_TRUE(CreateChatDatabase(path));
  EXPECT_TRUE(IsChatDatabase(path));
  EXPECT_EQ(FileNames(folder), Strings{"张三.dat"});  // nothing left from building it
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(CodePage::AnsiToUtf8(path).c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  const struct {
    const char* table;
    const char* columns;
  } tables[] = {
      {"ContactList", "contactid,name,role"},
      {"CustChatObjectTag", "id,tag,name"},
      {"CustChatObjectList", "id,contactid,name,alias,tag,role"},
      {"CustChatGroupTag", "id,tag,name"},
      {"CustChatGroupList", "id,groupid,name,tag,title,members"},
      {"CustCommunityTag", "id,tag,name"},
      {"CustCommunity", "id,groupid,groupname,tag,groupdes,members"},
  };
  for (const auto& t : tables) {
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, ("PRAGMA table_info(" + std::string(t.table) + ")").c_str(), -1, &stmt, nullptr),
              SQLITE_OK);
    std::string columns;
    while (sqlite3_step(stmt) == SQLITE_ROW)
      columns += (columns.empty() ? "" : ",") + std::string(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1)));
    sqlite3_finalize(stmt);
    EXPECT_EQ(columns, t.columns) << t.table;
  }
  // The lookups by id use an index.
  for (const char* lookup : {"SELECT * FROM ContactList WHERE contactid=?", "SELECT * FROM CustChatObjectList WHERE contactid=?",
                             "SELECT * FROM CustChatGroupList WHERE groupid=?", "SELECT * FROM CustCommunity WHERE groupid=?"}) {
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + std::string(lookup)).c_str(), -1, &stmt, nullptr),
              SQLITE_OK);
    std::string plan;
    while (sqlite3_step(stmt) == SQLITE_ROW) plan += reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3));
    sqlite3_finalize(stmt);
    EXPECT_NE(plan.find("INDEX"), std::string::npos) << lookup << ": " << plan;
  }
  sqlite3_close(db);
}

TEST(ChatDatabaseFile, AnExistingFileIsNeverChanged) {
  CChatDb file;
  ASSERT_TRUE(file.Exec("INSERT INTO ContactList VALUES ('c1', 'n', 'c')"));
  std::string before, after;
  ASSERT_TRUE(CTestFolder::ReadBytes(file.Path(), before));
  EXPECT_TRUE(CreateChatDatabase(file.Path()));
  ASSERT_TRUE(CTestFolder::ReadBytes(file.Path(), after));
  EXPECT_EQ(after, before);

  // Not a database, or a database without the seven tables: reported, kept.
  CTestFolder folder;
  const CString other = folder.Path("other.dat");
  ASSERT_TRUE(CTestFolder::WriteBytes(other, "not a database"));
  EXPECT_FALSE(CreateChatDatabase(other));
  ASSERT_TRUE(CTestFolder::ReadBytes(other, after));
  EXPECT_EQ(after, "not a database");
  ASSERT_TRUE(file.Exec("DROP TABLE CustCommunity"));
  ASSERT_TRUE(CTestFolder::ReadBytes(file.Path(), before));
  EXPECT_FALSE(CreateChatDatabase(file.Path()));
  ASSERT_TRUE(CTestFolder::ReadBytes(file.Path(), after));
  EXPECT_EQ(after, before);
}

TEST(ChatDatabaseFile, AFileThatCannotBeMadeLeavesNothingBehind) {
  CTestFolder folder;
  const CString path = folder.Path("无此目录\\1001.dat");
  EXPECT_FALSE(CreateChatDatabase(path));
  EXPECT_FALSE(CTestFolder::Exists(path));
  EXPECT_TRUE(FileNames(folder).empty());
  EXPECT_FALSE(CreateChatDatabase(""));
  EXPECT_FALSE(CreateChatDatabase(nullptr));
  EXPECT_FALSE(CreateChatDatabase(folder.Root()));  // a folder is no database
}
