// Every statement the chat module issues, run the way the trees, dialogs and
// chat manager use it; ids that try to change a statement; the database file
// the profile code creates.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "ChatDatabaseSchema.h"
#include "CTestChatDb.h"
#include "CodePage.h"
#include "OrbADO.h"

namespace {

using Strings = std::vector<std::string>;
using Fields = std::initializer_list<std::pair<const char*, COrbVariant>>;

CString Sql(const char* format, const char* id) {
  CString sql;
  sql.Format(format, id);
  return sql;
}
CString Sql(const char* format, int number) {
  CString sql;
  sql.Format(format, number);
  return sql;
}

// A read as the module does it: the column of every row, "<null>" for NULL.
Strings Read(const CTestChatDb& file, const char* sql, const char* column) {
  COrbADO db;
  if (!db.ConnectAccess(file.Path()) || !db.OpenTable(sql, adOpenStatic, adLockReadOnly, adCmdText)) return {"<fail>"};
  Strings values;
  for (db.First(); !db.isEOF(); db.Next()) {
    const COrbVariant value = db.GetField(column);
    values.push_back(value.IsNull() ? "<null>" : value.ToString().Str());
  }
  return values;
}

// A change as the module does it: on the first row found, or on a new row
// when none is found (append) or always (append && !whenMissing).
bool Write(const CTestChatDb& file, const char* sql, bool append, Fields fields) {
  COrbADO db;
  if (!db.ConnectAccess(file.Path()) || !db.OpenTable(sql, adOpenKeyset, adLockOptimistic, adCmdText)) return false;
  db.First();
  if (append && !db.AppendBlank()) return false;
  if (db.isEOF()) return false;
  for (const auto& [column, value] : fields)
    if (!db.SetField(column, value)) return false;
  return db.Update();
}

// Names of the files in a test folder.
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

class ChatStatements : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_file.Exec(
        "INSERT INTO ContactList VALUES ('c1001', '张三', 'c'), ('c1002', NULL, 'c'), ('p1003', '王五', NULL);"
        "INSERT INTO CustChatObjectTag (tag, name) VALUES (1, '好友'), (3, '同事'), (2, '同学');"
        "INSERT INTO CustChatGroupTag (tag, name) VALUES (1, '好友'), (3, '同事'), (2, '同学');"
        "INSERT INTO CustChatObjectList (contactid, name, alias, tag, role) "
        "VALUES ('c1001', '张三', '', 1, 'c'), ('p1003', '王五', '老王', 3, 'p');"
        "INSERT INTO CustChatGroupList (groupid, name, tag, title, members) "
        "VALUES (1, '一组', 1, '一组讨论', 'c1001,p1003'), (4, '四组', 1, '四组讨论', 'c1001');"
        "INSERT INTO CustCommunityTag (tag, name) VALUES (1, '社区'), (NULL, NULL);"
        "INSERT INTO CustCommunity (groupid, groupname, tag, groupdes, members) "
        "VALUES ('88', '读书会', 1, '每周一书', 'c1001,c1002,'), ('89', NULL, NULL, NULL, NULL);"));
  }
  CTestChatDb m_file;
};

}  // namespace

TEST_F(ChatStatements, ContactListLookupsPagesAndTheFirst300) {
  const char* const lookup = "SELECT * FROM ContactList where contactid='%s'";
  EXPECT_EQ(Read(m_file, Sql(lookup, "c1001"), "name"), Strings{"张三"});
  EXPECT_EQ(Read(m_file, Sql(lookup, "C1001"), "name"), Strings{"张三"});  // ids compare without case, as in Access
  EXPECT_EQ(Read(m_file, Sql(lookup, "c1002"), "name"), Strings{"<null>"});
  EXPECT_EQ(Read(m_file, Sql(lookup, "c9"), "name"), Strings{});
  ASSERT_TRUE(m_file.Exec("INSERT INTO ContactList VALUES ('o''brien', 'OB', 'o')"));
  EXPECT_EQ(Read(m_file, Sql(lookup, "o'brien"), "name"), Strings{"OB"});   // an id as it came
  EXPECT_EQ(Read(m_file, Sql(lookup, "o''brien"), "name"), Strings{"OB"});  // an id escaped by its caller

  std::string rows = "BEGIN;";
  for (int i = 5; i <= 350; ++i) rows += "INSERT INTO ContactList VALUES ('x" + std::to_string(i) + "', 'n', 'x');";
  ASSERT_TRUE(m_file.Exec((rows + "COMMIT;").c_str()));
  EXPECT_EQ(Read(m_file, "select top 300 * FROM ContactList", "contactid").size(), 300u);
  // The contact browser: page 4 of 100 starts at record 301 and holds 50.
  COrbADO db;
  ASSERT_TRUE(db.ConnectAccess(m_file.Path()));
  ASSERT_TRUE(db.OpenTable("select * from ContactList", adOpenStatic, adLockReadOnly, adCmdText));
  EXPECT_EQ(db.RecordCount(), 350);
  db.First();
  ASSERT_TRUE(db.Move(3 * 100 + 1));
  EXPECT_STREQ(db.GetField("contactid").ToString(), "x301");
  int onPage = 0;
  for (; onPage < 100 && !db.isEOF(); db.Next()) ++onPage;
  EXPECT_EQ(onPage, 50);
}

TEST_F(ChatStatements, TagsAndCategoriesAreListedAddedAndRenamed) {
  for (const char* table : {"CustChatObjectTag", "CustChatGroupTag"}) {
    const CString all = Sql("SELECT * FROM %s", table), ordered = Sql("SELECT * FROM %s order by tag", table);
    EXPECT_EQ(Read(m_file, all, "name"), (Strings{"好友", "同事", "同学"})) << table;
    EXPECT_EQ(Read(m_file, ordered, "tag"), (Strings{"1", "2", "3"})) << table;
    EXPECT_TRUE(Write(m_file, ordered, true, {{"name", "家人"}, {"tag", 4}})) << table;
    const int id = atoi(m_file.Value(Sql("SELECT id FROM %s WHERE tag=2", table)));
    EXPECT_TRUE(Write(m_file, Sql(Sql("SELECT * FROM %s where id=%%d", table), id), false, {{"name", "老同学"}}));
    EXPECT_EQ(Read(m_file, ordered, "name"), (Strings{"好友", "老同学", "同事", "家人"})) << table;
  }
}

TEST_F(ChatStatements, ChatObjectsAreRecordedMovedAndGivenRemarks) {
  EXPECT_EQ(Read(m_file, "SELECT * FROM CustChatObjectList", "contactid"), (Strings{"c1001", "p1003"}));
  const CString one = Sql("SELECT * FROM CustChatObjectList where contactid='%s'", "c2002");
  EXPECT_EQ(Read(m_file, Sql("SELECT * FROM CustChatObjectList where contactid='%s'", "p1003"), "alias"),
            Strings{"老王"});
  // The chat manager records a sender twice: one row, the name refreshed.
  for (const char* name : {"赵六", "赵六六"}) {
    const bool missing = Read(m_file, one, "id").empty();
    EXPECT_TRUE(missing ? Write(m_file, one, true,
                                {{"contactid", "c2002"}, {"tag", 2}, {"role", "c"}, {"alias", ""}, {"name", name}})
                        : Write(m_file, one, false, {{"name", name}}));
  }
  EXPECT_TRUE(Write(m_file, one, false, {{"tag", 3}}));         // moved to another tag
  EXPECT_TRUE(Write(m_file, one, false, {{"alias", "小赵"}}));  // given a remark
  EXPECT_EQ(m_file.Count("CustChatObjectList"), 3);
  EXPECT_STREQ(m_file.Value("SELECT name||'/'||tag||'/'||role||'/'||alias FROM CustChatObjectList "
                            "WHERE contactid='c2002'"),
               "赵六六/3/c/小赵");
  EXPECT_STREQ(m_file.Value("SELECT tag||'/'||alias FROM CustChatObjectList WHERE contactid='p1003'"), "3/老王");
  // The tree adds a contact that is already a chat object: refused, not doubled.
  EXPECT_FALSE(Write(m_file, one, true, {{"contactid", "c2002"}}));
}

TEST_F(ChatStatements, GroupsAreListedCreatedAndSaved) {
  EXPECT_EQ(Read(m_file, "SELECT * FROM CustChatGroupList", "title"), (Strings{"一组讨论", "四组讨论"}));
  {
    COrbADO db;
    ASSERT_TRUE(db.ConnectAccess(m_file.Path()));
    ASSERT_TRUE(db.OpenTable("SELECT * FROM CustChatGroupList order by groupid", 1, 3, 1));
    ASSERT_TRUE(db.End());
    EXPECT_EQ(db.GetField("groupid").lVal, 4);  // the highest, found with End
    ASSERT_TRUE(db.AppendBlank());
    for (const auto& [column, value] : Fields{{"groupid", 5}, {"name", "五组"}, {"tag", 2}, {"title", "五组讨论"},
                                              {"members", "c1001,c1002,p1003"}})
      ASSERT_TRUE(db.SetField(column, value));
    ASSERT_TRUE(db.Update());
  }
  const CString five = Sql("SELECT * FROM CustChatGroupList where groupid=%d", 5);
  EXPECT_TRUE(Write(m_file, five, false, {{"members", "c1001,p1003"}}));
  EXPECT_TRUE(Write(m_file, five, false, {{"tag", 1}}));
  EXPECT_TRUE(Write(m_file, five, false, {{"name", "第五组"}}));
  EXPECT_STREQ(m_file.Value("SELECT name||'/'||tag||'/'||title||'/'||members FROM CustChatGroupList WHERE groupid=5"),
               "第五组/1/五组讨论/c1001,p1003");
  EXPECT_STREQ(m_file.Value("SELECT members FROM CustChatGroupList WHERE groupid=1"), "c1001,p1003");
}

TEST_F(ChatStatements, CommunitiesWithNullColumnsAreRead) {
  EXPECT_EQ(Read(m_file, "SELECT * FROM CustCommunityTag", "name"), (Strings{"社区", "<null>"}));
  EXPECT_EQ(Read(m_file, "SELECT * FROM CustCommunityTag", "tag"), (Strings{"1", "<null>"}));
  EXPECT_EQ(Read(m_file, "SELECT * FROM CustCommunity", "groupid"), (Strings{"88", "89"}));
  for (const char* format :
       {"SELECT * FROM CustCommunity where groupid='%s'", "SELECT * FROM CustCommunity WHERE groupid='%s'"}) {
    EXPECT_EQ(Read(m_file, Sql(format, "88"), "members"), Strings{"c1001,c1002,"}) << format;
    EXPECT_EQ(Read(m_file, Sql(format, "88"), "groupdes"), Strings{"每周一书"}) << format;
    EXPECT_EQ(Read(m_file, Sql(format, "89"), "groupname"), Strings{"<null>"}) << format;
    EXPECT_EQ(Read(m_file, Sql(format, "8"), "groupname"), Strings{}) << format;
  }
}

TEST_F(ChatStatements, IdsThatTryToChangeAStatementReadAndChangeNothing) {
  const int contacts = m_file.Count("ContactList"), objects = m_file.Count("CustChatObjectList");
  for (const char* attack : {"a' OR '1'='1", "x' OR contactid<>'", "x'; DELETE FROM ContactList; --",
                             "' UNION SELECT groupid, groupname, members FROM CustCommunity WHERE '1'='1"}) {
    for (const char* read : {"SELECT * FROM ContactList where contactid='%s'",
                             "SELECT * FROM CustChatObjectList where contactid='%s'",
                             "SELECT * FROM CustCommunity where groupid='%s'"})
      EXPECT_EQ(Read(m_file, Sql(read, attack), "name"), Strings{}) << read << " with " << attack;
    // The manager's write finds nothing and appends the id exactly as it came.
    const CString write = Sql("SELECT * FROM CustChatObjectList where contactid='%s'", attack);
    EXPECT_TRUE(Write(m_file, write, true, {{"contactid", attack}, {"name", "n"}})) << attack;
    EXPECT_EQ(Read(m_file, write, "contactid"), Strings{attack});
  }
  EXPECT_EQ(m_file.Count("ContactList"), contacts);
  EXPECT_EQ(m_file.Count("CustChatObjectList"), objects + 4);
  EXPECT_STREQ(m_file.Value("SELECT group_concat(name) FROM CustChatObjectList WHERE name<>'n'"), "张三,王五");
}

// Two quoted comparisons cannot be told from one id holding quotes, so they
// would be bound as the single value "c1001' AND name='...". They are refused
// instead; one comparison with a doubled quote inside still reads its row.
TEST_F(ChatStatements, StatementsComparingTwoColumnsWithQuotedValuesAreRefused) {
  for (const char* sql : {"SELECT * FROM CustChatObjectList WHERE contactid='c1001' AND name='张三'",
                          "SELECT * FROM CustChatObjectList where contactid='c1001'or [name] = '张三'",
                          "SELECT * FROM CustChatObjectList WHERE contactid='x''y' AND name='张三'"}) {
    EXPECT_EQ(Read(m_file, sql, "name"), Strings{"<fail>"}) << sql;
    EXPECT_FALSE(Write(m_file, sql, true, {{"contactid", "c9"}, {"name", "n"}})) << sql;
  }
  COrbADO db;
  ASSERT_TRUE(db.ConnectAccess(m_file.Path()));
  EXPECT_FALSE(db.OpenTable("SELECT * FROM CustChatObjectList WHERE contactid='a' AND name='b'", adOpenStatic,
                            adLockReadOnly, adCmdText));
  EXPECT_NE(db.GetLastError().Find("more than one quoted value"), -1);
  EXPECT_EQ(Read(m_file, "SELECT * FROM CustChatObjectList WHERE contactid='c1001'", "name"), Strings{"张三"});
  EXPECT_EQ(m_file.Count("CustChatObjectList"), 2);
}

TEST(ChatDatabaseFile, IsCreatedWithTheSevenTablesTheirColumnsAndIndexes) {
  CTestChatDb file("张三.dat");  // made by CreateChatDatabase
  EXPECT_TRUE(IsChatDatabase(file.Path()));
  EXPECT_EQ(FileNames(file.Folder()), Strings{"张三.dat"});  // nothing left from building it
  const struct {
    const char* table;
    const char* columns;
    const char* indexed;  // the column the lookups go by
  } tables[] = {
      {"ContactList", "contactid,name,role", "contactid"},
      {"CustChatObjectTag", "id,tag,name", nullptr},
      {"CustChatObjectList", "id,contactid,name,alias,tag,role", "contactid"},
      {"CustChatGroupTag", "id,tag,name", nullptr},
      {"CustChatGroupList", "id,groupid,name,tag,title,members", "groupid"},
      {"CustCommunityTag", "id,tag,name", nullptr},
      {"CustCommunity", "id,groupid,groupname,tag,groupdes,members", "groupid"},
  };
  for (const auto& t : tables) {
    EXPECT_STREQ(file.Value(Sql("SELECT group_concat(name) FROM pragma_table_info('%s')", t.table)), t.columns);
    if (!t.indexed) continue;
    CString sql;
    sql.Format("SELECT count(*) FROM pragma_index_list('%s') l, pragma_index_info(l.name) i WHERE i.name='%s'",
               t.table, t.indexed);
    EXPECT_STREQ(file.Value(sql), "1") << t.table;
  }
}

TEST(ChatDatabaseFile, AnExistingFileIsNeverChangedAndFailuresLeaveNothing) {
  CTestChatDb file;
  ASSERT_TRUE(file.Exec("INSERT INTO ContactList VALUES ('c1', 'n', 'c')"));
  const CString other = file.Folder().File("other.dat");
  ASSERT_TRUE(CTestFolder::WriteBytes(other, "not a database"));
  std::string before, after;
  for (bool dropTable : {false, true}) {
    ASSERT_TRUE(!dropTable || file.Exec("DROP TABLE CustCommunity"));
    ASSERT_TRUE(CTestFolder::ReadBytes(file.Path(), before));
    EXPECT_EQ(CreateChatDatabase(file.Path()), !dropTable);  // true only with all seven tables
    ASSERT_TRUE(CTestFolder::ReadBytes(file.Path(), after));
    EXPECT_EQ(after, before);
  }
  EXPECT_FALSE(CreateChatDatabase(other));
  ASSERT_TRUE(CTestFolder::ReadBytes(other, after));
  EXPECT_EQ(after, "not a database");

  CTestFolder empty;
  for (const CString& bad : {empty.File("无此目录\\1001.dat"), CString(""), empty.Root()})
    EXPECT_FALSE(CreateChatDatabase(bad)) << bad.GetString();
  EXPECT_FALSE(CreateChatDatabase(nullptr));
  EXPECT_EQ(FileNames(empty), Strings{});
}

namespace {

// cmd.exe started and, unless kept running (suspended), waited for until it
// has ended; the caller closes the handles.
PROCESS_INFORMATION StartCommandShell(bool keepRunning) {
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(system) + L"\\cmd.exe\" /c exit 0";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const DWORD flags = CREATE_NO_WINDOW | (keepRunning ? CREATE_SUSPENDED : 0);
  EXPECT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr, &startup,
                             &process));
  if (!keepRunning) {
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
  }
  return process;
}

}  // namespace

TEST(ChatDatabaseFile, LeftoversOfEndedProcessesAreRemovedNeverPickedUp) {
  // A process killed while it built the file leaves "<file>.<process id>.new"
  // and its journal; the next creation removes those whose process has
  // ended, and leaves those of a process that still builds.
  CTestFolder folder;
  const CString path = folder.File("用户.dat");
  PROCESS_INFORMATION ended = StartCommandShell(false);
  PROCESS_INFORMATION running = StartCommandShell(true);
  auto leftover = [](DWORD pid, const char* suffix) {
    CString name;
    name.Format("用户.dat.%lu.new%s", static_cast<unsigned long>(pid), suffix);
    return name;
  };
  const CString names[] = {leftover(ended.dwProcessId, ""), leftover(ended.dwProcessId, "-journal"),
                           leftover(GetCurrentProcessId(), "-journal"), leftover(running.dwProcessId, "")};
  for (const CString& name : names) ASSERT_TRUE(CTestFolder::WriteBytes(folder.File(name), "half built"));
  ASSERT_TRUE(CTestFolder::WriteBytes(folder.File("用户.dat.x.new"), "not ours"));

  EXPECT_TRUE(CreateChatDatabase(path));
  EXPECT_TRUE(IsChatDatabase(path));
  Strings expected{"用户.dat", "用户.dat.x.new", leftover(running.dwProcessId, "").Str()};
  std::sort(expected.begin(), expected.end());
  Strings found = FileNames(folder);
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, expected);

  // Also when the file is already there.
  ASSERT_TRUE(CTestFolder::WriteBytes(folder.File(names[0]), "half built"));
  EXPECT_TRUE(CreateChatDatabase(path));
  EXPECT_FALSE(CTestFolder::Exists(folder.File(names[0])));

  TerminateProcess(running.hProcess, 0);
  for (const PROCESS_INFORMATION& process : {ended, running}) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}
