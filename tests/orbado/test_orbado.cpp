// The database access component: unusable files, values as VARIANTs, the
// cursor, and changing rows.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "CTestChatDb.h"
#include "MessagePump.h"
#include "CodePage.h"
#include "OrbADO.h"

namespace {

const char* const kContacts =
    "INSERT INTO ContactList VALUES ('c1001', '张三', 'c'), ('c1002', NULL, 'c'), ('p1003', '王五', NULL),"
    "('p1004', '赵六', 'p'), ('p1005', '钱七', 'p');";

bool Open(COrbADO& db, const CTestChatDb& file, const char* sql, bool changeable) {
  return db.ConnectAccess(file.Path()) && (changeable ? db.OpenTable(sql, adOpenKeyset, adLockOptimistic, adCmdText)
                                                      : db.OpenTable(sql, adOpenStatic, adLockReadOnly, adCmdText));
}

}  // namespace

TEST(OrbADOConnect, UnusableFilesAreRefusedUnchangedAndNeverCreated) {
  CTestChatDb file;
  ASSERT_TRUE(file.Exec(kContacts));
  const CString missing = file.Folder().File("无此文件.dat"), notDb = file.Folder().File("jet.dat");
  const std::string jet = std::string("\0\1\0\0Standard Jet DB\0", 20) + std::string(4000, 'x');
  ASSERT_TRUE(CTestFolder::WriteBytes(notDb, jet));
  for (const CString& path : {missing, notDb, CString(""), CString(":memory:"), file.Folder().Root()}) {
    COrbADO db;
    EXPECT_FALSE(db.ConnectAccess(path)) << path.GetString();
    EXPECT_FALSE(db.OpenTable("SELECT * FROM ContactList")) << path.GetString();
  }
  COrbADO db;
  EXPECT_FALSE(db.ConnectAccess(nullptr));
  EXPECT_FALSE(CTestFolder::Exists(missing));
  std::string after;
  ASSERT_TRUE(CTestFolder::ReadBytes(notDb, after));
  EXPECT_EQ(after, jet);

  // Statements that cannot run fail and leave the connection usable.
  ASSERT_TRUE(db.ConnectAccess(file.Path()));
  for (const char* bad : {"SELECT * FROM NoSuchTable", "SELEKT oops", "", "SELECT * FROM ContactList; DELETE FROM ContactList"})
    EXPECT_FALSE(db.OpenTable(bad)) << bad;
  EXPECT_FALSE(db.OpenTable(nullptr));
  EXPECT_FALSE(db.OpenTable("select count(*) from ContactList", adOpenKeyset, adLockOptimistic, adCmdText));
  EXPECT_EQ(db.isEOF(), 1);
  ASSERT_TRUE(db.OpenTable("select * from ContactList"));
  EXPECT_EQ(db.RecordCount(), 5);
  db.DisConnect();

  // Damaged: page 1 (the schema) is intact, the pages of the rows are noise.
  std::string bytes;
  ASSERT_TRUE(CTestFolder::ReadBytes(file.Path(), bytes));
  ASSERT_GT(bytes.size(), 4096u);
  for (size_t i = 4096; i < bytes.size(); ++i) bytes[i] = static_cast<char>(0xA5 ^ (i * 7));
  COrbADO::ReleaseIdleConnections();  // a pooled connection keeps the file open
  ASSERT_TRUE(CTestFolder::WriteBytes(file.Path(), bytes));
  EXPECT_FALSE(Open(db, file, "select * from ContactList", false));
  EXPECT_EQ(db.RecordCount(), 0);
}

TEST(OrbADOConnect, ALockedFileFailsWithinTheBusyTimeout) {
  CTestChatDb file;
  ASSERT_TRUE(file.Exec(kContacts));
  sqlite3* other = file.OpenRaw();
  ASSERT_NE(other, nullptr);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE; UPDATE ContactList SET name='x';", nullptr, nullptr, nullptr),
            SQLITE_OK);
  COrbADO db;
  db.SetBusyTimeout(200);
  const DWORD start = GetTickCount();
  EXPECT_FALSE(Open(db, file, "select * from ContactList", false));
  EXPECT_LT(GetTickCount() - start, 5000u);
  db.DisConnect();
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  ASSERT_TRUE(Open(db, file, "SELECT * FROM ContactList where contactid='c1001'", false));
  EXPECT_STREQ(db.GetField("name").ToString(), "张三");
}

TEST(OrbADOValues, FieldsComeAsVariantsOfTheirKindAndTheFileHoldsUtf8) {
  CTestChatDb file;
  ASSERT_TRUE(file.Exec("INSERT INTO CustChatObjectList (contactid, name, alias, tag) VALUES ('c1', '张三', NULL, 3);"
                        "INSERT INTO CustChatGroupList (groupid, title) VALUES (5000000000, '42');"));
  COrbADO db;
  ASSERT_TRUE(Open(db, file, "SELECT * FROM CustChatObjectList", false));
  const COrbVariant name = db.GetField("name"), tag = db.GetField("tag");
  ASSERT_EQ(name.vt, VT_BSTR);
  EXPECT_STREQ(name.bstrVal, L"\u5f20\u4e09");
  EXPECT_STREQ(name.ToString(), "张三");
  ASSERT_EQ(tag.vt, VT_I4);
  EXPECT_EQ(tag.lVal, 3);
  EXPECT_STREQ(tag.ToString(), "3");
  EXPECT_EQ(db.GetField("alias").vt, VT_NULL);
  EXPECT_STREQ(db.GetField("alias").ToString(), "");
  EXPECT_STREQ(db.GetField("CONTACTID").ToString(), "c1");  // names match without case
  EXPECT_EQ(db.GetField("nosuchcolumn").vt, VT_EMPTY);
  ASSERT_TRUE(db.OpenTable("SELECT * FROM CustChatGroupList"));
  EXPECT_EQ(db.GetField("groupid").vt, VT_I8);
  EXPECT_EQ(db.GetField("groupid").llVal, 5000000000LL);
  EXPECT_EQ(db.GetField("title").ToInt(), 42);  // digits in a text column, read as a number

  // Written values: text as UTF-8 (also beyond code page 936), numbers by kind.
  ASSERT_TRUE(db.OpenTable("SELECT * FROM ContactList", adOpenKeyset, adLockOptimistic, adCmdText));
  COrbVariant real, flag, object;
  real.vt = VT_R8;
  real.dblVal = 2.5;
  flag.vt = VT_BOOL;
  flag.boolVal = VARIANT_TRUE;
  object.vt = VT_UNKNOWN;
  ASSERT_TRUE(db.AppendBlank());
  EXPECT_TRUE(db.SetField("contactid", "张三"));
  EXPECT_TRUE(db.SetField("name", COrbVariant::FromBstr(SysAllocString(L"Zo\u00eb \U0001F600"))));
  EXPECT_TRUE(db.SetField("role", flag));
  EXPECT_FALSE(db.SetField("role", object));
  EXPECT_FALSE(db.SetField("nosuchcolumn", 1));
  ASSERT_TRUE(db.Update());
  ASSERT_TRUE(db.OpenTable("SELECT * FROM CustChatGroupList", adOpenKeyset, adLockOptimistic, adCmdText));
  EXPECT_TRUE(db.SetField("tag", real));
  EXPECT_TRUE(db.SetField("members", COrbVariant::Null()));
  ASSERT_TRUE(db.Update());
  EXPECT_STREQ(file.Value("SELECT hex(contactid)||'/'||role FROM ContactList"), "E5BCA0E4B889/-1");
  EXPECT_STREQ(file.Value("SELECT typeof(tag)||typeof(members) FROM CustChatGroupList"), "realnull");
  ASSERT_TRUE(Open(db, file, "SELECT * FROM ContactList where contactid='张三'", false));
  EXPECT_STREQ(db.GetField("name").bstrVal, L"Zo\u00eb \U0001F600");
}

TEST(OrbADOCursor, FirstNextEndAndOneBasedMoveOnEveryResult) {
  CTestChatDb file;
  ASSERT_TRUE(file.Exec(kContacts));
  COrbADO db;
  EXPECT_EQ(db.isEOF(), 1);
  EXPECT_EQ(db.GetField("name").vt, VT_EMPTY);
  ASSERT_TRUE(Open(db, file, "select * from ContactList order by contactid", false));
  EXPECT_EQ(db.RecordCount(), 5);
  std::string walked;
  for (db.First(); !db.isEOF(); db.Next()) walked += db.GetField("contactid").ToString().Right(1).Str();
  EXPECT_EQ(walked, "12345");
  EXPECT_FALSE(db.Next());
  const struct {
    long move;
    const char* id;  // nullptr: no current record
  } moves[] = {{1, "c1001"}, {3, "p1003"}, {5, "p1005"}, {6, nullptr}, {0, nullptr}, {-2, nullptr}, {2, "c1002"}};
  for (const auto& m : moves) {
    EXPECT_EQ(db.Move(m.move), m.id != nullptr) << m.move;
    EXPECT_STREQ(db.GetField("contactid").ToString(), m.id ? m.id : "") << m.move;
  }
  EXPECT_TRUE(db.End());
  EXPECT_STREQ(db.GetField("contactid").ToString(), "p1005");
  ASSERT_TRUE(db.OpenTable("select * from ContactList where contactid='none'", 3, 1, 1));
  EXPECT_EQ(db.RecordCount(), 0);
  EXPECT_FALSE(db.End());
  EXPECT_FALSE(db.Move(1));
}

TEST(OrbADOChange, OnlyTheCurrentRowChangesAndReadOnlyResultsChangeNothing) {
  CTestChatDb file;
  ASSERT_TRUE(file.Exec(kContacts));
  COrbADO db;
  ASSERT_TRUE(Open(db, file, "select * from ContactList order by contactid", false));
  EXPECT_FALSE(db.SetField("name", "x"));
  EXPECT_FALSE(db.AppendBlank());
  EXPECT_FALSE(db.Update());
  ASSERT_TRUE(db.OpenTable("select * from ContactList order by contactid", adOpenKeyset, adLockOptimistic, adCmdText));
  ASSERT_TRUE(db.Move(2));
  ASSERT_TRUE(db.SetField("name", "李四"));
  EXPECT_STREQ(db.GetField("name").ToString(), "李四");  // the edit shows before it is saved
  ASSERT_TRUE(db.Update());
  EXPECT_STREQ(file.Value("SELECT group_concat(ifnull(name, '-')) FROM ContactList"), "张三,李四,王五,赵六,钱七");

  ASSERT_TRUE(db.OpenTable("SELECT * FROM CustChatObjectTag", adOpenKeyset, adLockOptimistic, adCmdText));
  ASSERT_TRUE(db.AppendBlank());
  EXPECT_EQ(db.isEOF(), 0);
  ASSERT_TRUE(db.SetField("name", "好友"));
  ASSERT_TRUE(db.Update());
  EXPECT_EQ(db.GetField("id").vt, VT_I4);  // read back with the number the file gave it
  EXPECT_EQ(db.RecordCount(), 1);
  EXPECT_EQ(file.Count("CustChatObjectTag"), 1);
}

TEST(OrbADOChange, MovingSavesCancelRestoresDisconnectingDrops) {
  CTestChatDb file;
  ASSERT_TRUE(file.Exec(kContacts));
  {
    COrbADO db;
    ASSERT_TRUE(Open(db, file, "select * from ContactList order by contactid", true));
    ASSERT_TRUE(db.SetField("name", "saved by moving"));
    ASSERT_TRUE(db.Next());
    ASSERT_TRUE(db.SetField("name", "cancelled"));
    db.CancelUpdate();
    EXPECT_EQ(db.GetField("name").vt, VT_NULL);
    ASSERT_TRUE(db.Next());
    ASSERT_TRUE(db.SetField("name", "saved by appending"));
    ASSERT_TRUE(db.AppendBlank());
    ASSERT_TRUE(db.SetField("contactid", "never saved"));
  }
  EXPECT_STREQ(file.Value("SELECT group_concat(ifnull(name, '-')) FROM ContactList"),
               "saved by moving,-,saved by appending,赵六,钱七");
  EXPECT_EQ(file.Count("ContactList"), 5);
}

TEST(OrbADOChange, FailedSavesReportFalseKeepTheChangeAndTheFileIntact) {
  CTestChatDb file;
  ASSERT_TRUE(file.Exec(kContacts));
  ASSERT_TRUE(file.Exec("INSERT INTO CustChatObjectList (contactid, name) VALUES ('c1001', '张三')"));
  COrbADO db;
  db.SetBusyTimeout(100);
  ASSERT_TRUE(Open(db, file, "SELECT * FROM CustChatObjectList", true));
  ASSERT_TRUE(db.AppendBlank());  // a contact is a chat object once
  ASSERT_TRUE(db.SetField("contactid", "c1001"));
  EXPECT_FALSE(db.Update());
  db.CancelUpdate();
  ASSERT_TRUE(db.First());  // the row goes away after it was read
  ASSERT_TRUE(file.Exec("DELETE FROM CustChatObjectList"));
  ASSERT_TRUE(db.SetField("name", "ghost"));
  EXPECT_FALSE(db.Update());
  db.CancelUpdate();
  EXPECT_EQ(file.Count("CustChatObjectList"), 0);

  // Another user is writing: the change fails, stays pending, and is saved later.
  ASSERT_TRUE(db.OpenTable("select * from ContactList", adOpenKeyset, adLockOptimistic, adCmdText));
  sqlite3* other = file.OpenRaw();
  ASSERT_NE(other, nullptr);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  ASSERT_TRUE(db.SetField("role", "z"));
  EXPECT_FALSE(db.Update());
  sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_TRUE(db.Update());
  EXPECT_STREQ(file.Value("SELECT count(*) FROM ContactList WHERE role='z'"), "1");
}

// Connecting for every statement reuses one pooled connection, which never
// keeps a transaction: other connections see its changes and it sees theirs.
TEST(OrbADOPool, ConnectionsAreReusedAndSeeEveryChange) {
  CTestChatDb file;
  ASSERT_TRUE(file.Exec(kContacts));
  COrbADO::ReleaseIdleConnections();
  const long opened = COrbADO::ConnectionsOpened();
  for (int i = 0; i < 20; ++i) {
    COrbADO db;
    ASSERT_TRUE(db.ConnectAccess(file.Path()));
    ASSERT_TRUE(db.OpenTable("SELECT * FROM ContactList", adOpenKeyset, adLockOptimistic, adCmdText));
    if (i == 5) {
      ASSERT_TRUE(db.AppendBlank() && db.SetField("contactid", "n6") && db.Update());
    }
  }
  EXPECT_EQ(COrbADO::ConnectionsOpened() - opened, 1);
  EXPECT_EQ(COrbADO::IdleConnectionCount(), 1u);
  EXPECT_EQ(file.Count("ContactList"), 6) << "committed while the connection waits in the pool";
  ASSERT_TRUE(file.Exec("INSERT INTO ContactList (contactid) VALUES ('raw7')"));
  COrbADO db;
  ASSERT_TRUE(db.ConnectAccess(file.Path()));
  ASSERT_TRUE(db.OpenTable("SELECT * FROM ContactList where contactid='raw7'"));
  EXPECT_EQ(db.RecordCount(), 1) << "another writer's row is seen through the reused connection";
  COrbADO second;  // the first is in use: a second file connection is opened
  ASSERT_TRUE(second.ConnectAccess(file.Path()));
  EXPECT_EQ(COrbADO::ConnectionsOpened() - opened, 2);
  db.DisConnect();
  second.DisConnect();
  EXPECT_EQ(COrbADO::IdleConnectionCount(), 2u);
}

// Idle connections close by themselves, so the file can be replaced; a file
// put in place of the pooled one is read as the new file.
TEST(OrbADOPool, IdleConnectionsCloseAndAReplacedFileIsNotMistaken) {
  CTestChatDb file;
  ASSERT_TRUE(file.Exec(kContacts));
  COrbADO::ReleaseIdleConnections();
  {
    COrbADO db;
    ASSERT_TRUE(db.ConnectAccess(file.Path()));
  }
  EXPECT_EQ(COrbADO::IdleConnectionCount(), 1u);
  EXPECT_TRUE(OrbTesting::PumpUntil([] { return COrbADO::IdleConnectionCount() == 0; }, 5000));
  // Replace the file with another database holding no contacts.
  CTestChatDb other("其他.dat");
  {
    COrbADO db;
    ASSERT_TRUE(db.ConnectAccess(file.Path()));  // pooled again
  }
  // While pooled the file cannot be replaced (it is open without sharing
  // its deletion); once released it can.
  EXPECT_FALSE(MoveFileExW(CodePage::AnsiToWide(other.Path()).c_str(), CodePage::AnsiToWide(file.Path()).c_str(),
                           MOVEFILE_REPLACE_EXISTING));
  COrbADO::ReleaseIdleConnections();
  ASSERT_TRUE(MoveFileExW(CodePage::AnsiToWide(other.Path()).c_str(), CodePage::AnsiToWide(file.Path()).c_str(),
                          MOVEFILE_REPLACE_EXISTING));
  COrbADO db;
  ASSERT_TRUE(db.ConnectAccess(file.Path()));
  ASSERT_TRUE(db.OpenTable("SELECT * FROM ContactList"));
  EXPECT_EQ(db.RecordCount(), 0);
}
