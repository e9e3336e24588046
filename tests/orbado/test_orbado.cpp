// The database access component: connecting, reading values as VARIANTs,
// walking results, changing and appending rows, and every way a file can be
// unusable.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "ChatDb.h"
#include "CodePage.h"
#include "OrbADO.h"

namespace {

const char* const kContacts =
    "INSERT INTO ContactList VALUES ('c1001', '张三', 'c');"
    "INSERT INTO ContactList VALUES ('c1002', NULL, 'c');"
    "INSERT INTO ContactList VALUES ('p1003', '王五', NULL);"
    "INSERT INTO ContactList VALUES ('p1004', '赵六', 'p');"
    "INSERT INTO ContactList VALUES ('p1005', '钱七', 'p');";

bool OpenRead(COrbADO& db, const CChatDb& file, const char* sql) {
  return db.ConnectAccess(file.Path()) && db.OpenTable(sql, adOpenStatic, adLockReadOnly, adCmdText);
}

bool OpenWrite(COrbADO& db, const CChatDb& file, const char* sql) {
  return db.ConnectAccess(file.Path()) && db.OpenTable(sql, adOpenKeyset, adLockOptimistic, adCmdText);
}

}  // namespace

TEST(OrbADOConnect, MissingEmptyAndNonFilePathsAreRefusedAndNothingIsCreated) {
  CTestFolder folder;
  const CString missing = folder.Path("无此文件.dat");
  for (const char* path : {missing.GetString(), "", ":memory:", folder.Root().GetString()}) {
    COrbADO db;
    EXPECT_FALSE(db.ConnectAccess(path)) << path;
    EXPECT_FALSE(db.IsConnected()) << path;
    EXPECT_FALSE(db.OpenTable("SELECT * FROM ContactList")) << path;
  }
  COrbADO db;
  EXPECT_FALSE(db.ConnectAccess(nullptr));
  EXPECT_FALSE(CTestFolder::Exists(missing));
}

TEST(OrbADOConnect, AFileThatIsNoDatabaseIsRefusedAndLeftAlone) {
  CTestFolder folder;
  const CString path = folder.Path("1001.dat");
  const std::string content = std::string("\0\1\0\0Standard Jet DB\0", 20) + std::string(4000, 'x');
  ASSERT_TRUE(CTestFolder::WriteBytes(path, content));
  COrbADO db;
  EXPECT_FALSE(db.ConnectAccess(path));
  EXPECT_FALSE(db.GetLastError().IsEmpty());
  std::string after;
  ASSERT_TRUE(CTestFolder::ReadBytes(path, after));
  EXPECT_EQ(after, content);
}

TEST(OrbADOConnect, ADamagedTableMakesOpenTableFail) {
  CChatDb file;
  ASSERT_TRUE(file.Exec(kContacts));
  std::string bytes;
  ASSERT_TRUE(CTestFolder::ReadBytes(file.Path(), bytes));
  // Page 1 holds the schema; every later page is overwritten with noise.
  const size_t pageSize = 4096;
  ASSERT_GT(bytes.size(), pageSize);
  for (size_t i = pageSize; i < bytes.size(); ++i) bytes[i] = static_cast<char>(0xA5 ^ (i * 7));
  ASSERT_TRUE(CTestFolder::WriteBytes(file.Path(), bytes));
  COrbADO db;
  if (db.ConnectAccess(file.Path())) {
    EXPECT_FALSE(db.OpenTable("select * from ContactList", adOpenStatic, adLockReadOnly, adCmdText));
    EXPECT_EQ(db.isEOF(), 1);
    EXPECT_EQ(db.RecordCount(), 0);
  }
  db.DisConnect();
}

TEST(OrbADOConnect, ALockedFileFailsWithinTheBusyTimeout) {
  CChatDb file;
  ASSERT_TRUE(file.Exec(kContacts));
  sqlite3* other = file.OpenRaw();
  ASSERT_NE(other, nullptr);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE; UPDATE ContactList SET name = 'x';", nullptr, nullptr, nullptr),
            SQLITE_OK);
  COrbADO db;
  db.SetBusyTimeout(200);
  const DWORD start = GetTickCount();
  const bool connected = db.ConnectAccess(file.Path());
  const bool opened = connected && db.OpenTable("select * from ContactList", adOpenStatic, adLockReadOnly, adCmdText);
  EXPECT_FALSE(opened);
  EXPECT_LT(GetTickCount() - start, 5000u);
  db.DisConnect();
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  // Once the other user is gone the file reads normally, unchanged.
  COrbADO again;
  ASSERT_TRUE(OpenRead(again, file, "SELECT * FROM ContactList where contactid='c1001'"));
  EXPECT_STREQ(again.GetField("name").ToString(), "张三");
}

TEST(OrbADOConnect, AFileHeldOpenWithoutSharingIsRefused) {
  CChatDb file;
  HANDLE holder = CreateFileW(CodePage::AnsiToWide(file.Path()).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                              nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  COrbADO db;
  db.SetBusyTimeout(100);
  const bool usable = db.ConnectAccess(file.Path()) && db.OpenTable("select * from ContactList");
  CloseHandle(holder);
  EXPECT_FALSE(usable);
}

TEST(OrbADOConnect, BadStatementsFailAndLeaveTheConnectionUsable) {
  CChatDb file;
  ASSERT_TRUE(file.Exec(kContacts));
  COrbADO db;
  ASSERT_TRUE(db.ConnectAccess(file.Path()));
  EXPECT_FALSE(db.OpenTable("SELECT * FROM NoSuchTable"));
  EXPECT_FALSE(db.OpenTable("SELEKT oops"));
  EXPECT_FALSE(db.OpenTable(""));
  EXPECT_FALSE(db.OpenTable(nullptr));
  // A second statement never rides along.
  EXPECT_FALSE(db.OpenTable("SELECT * FROM ContactList; DELETE FROM ContactList"));
  // Only a whole table's rows can be changed.
  EXPECT_FALSE(db.OpenTable("select count(*) from ContactList", adOpenKeyset, adLockOptimistic, adCmdText));
  EXPECT_EQ(db.isEOF(), 1);
  ASSERT_TRUE(db.OpenTable("select * from ContactList"));
  EXPECT_EQ(db.RecordCount(), 5);
  EXPECT_EQ(file.Count("ContactList"), 5);
}

TEST(OrbADOValues, TextIntegersAndNullsComeAsTheirVariantTypes) {
  CChatDb file;
  ASSERT_TRUE(file.Exec(kContacts));
  ASSERT_TRUE(file.Exec("INSERT INTO CustChatObjectList (contactid, name, alias, tag, role) "
                        "VALUES ('c1001', '张三', NULL, 3, 'c');"
                        "INSERT INTO CustChatGroupList (groupid, name) VALUES (5000000000, 'big');"));
  COrbADO db;
  ASSERT_TRUE(OpenRead(db, file, "SELECT * FROM CustChatObjectList"));
  ASSERT_EQ(db.isEOF(), 0);
  const COrbVariant name = db.GetField("name");
  ASSERT_EQ(name.vt, VT_BSTR);
  EXPECT_STREQ(name.bstrVal, L"\u5f20\u4e09");  // 张三 in UTF-16
  EXPECT_STREQ(name.ToString(), "张三");
  const COrbVariant tag = db.GetField("tag");
  ASSERT_EQ(tag.vt, VT_I4);
  EXPECT_EQ(tag.lVal, 3);
  EXPECT_STREQ(tag.ToString(), "3");  // numbers read as text become decimal text
  EXPECT_EQ(db.GetField("alias").vt, VT_NULL);
  EXPECT_STREQ(db.GetField("alias").ToString(), "");
  EXPECT_EQ(db.GetField("id").vt, VT_I4);
  EXPECT_STREQ(db.GetField("CONTACTID").ToString(), "c1001");  // names match without case
  EXPECT_EQ(db.GetField("nosuchcolumn").vt, VT_EMPTY);

  ASSERT_TRUE(db.OpenTable("SELECT * FROM CustChatGroupList"));
  const COrbVariant big = db.GetField("groupid");
  EXPECT_EQ(big.vt, VT_I8);
  EXPECT_EQ(big.llVal, 5000000000LL);
}

TEST(OrbADOValues, TheFileHoldsUtf8AndTextOutsideTheCodePageSurvives) {
  CChatDb file;
  {
    COrbADO db;
    ASSERT_TRUE(OpenWrite(db, file, "SELECT * FROM ContactList"));
    ASSERT_TRUE(db.AppendBlank());
    ASSERT_TRUE(db.SetField("contactid", "c1"));
    ASSERT_TRUE(db.SetField("name", "张三"));
    ASSERT_TRUE(db.Update());
    ASSERT_TRUE(db.AppendBlank());
    ASSERT_TRUE(db.SetField("contactid", "c2"));
    ASSERT_TRUE(db.SetField("name", COrbVariant::FromBstr(SysAllocString(L"Zo\u00eb \U0001F600"))));
    ASSERT_TRUE(db.Update());
  }
  EXPECT_STREQ(file.Value("SELECT hex(name) FROM ContactList WHERE contactid='c1'"), "E5BCA0E4B889");
  COrbADO db;
  ASSERT_TRUE(OpenRead(db, file, "SELECT * FROM ContactList where contactid='c2'"));
  const COrbVariant name = db.GetField("name");
  ASSERT_EQ(name.vt, VT_BSTR);
  EXPECT_STREQ(name.bstrVal, L"Zo\u00eb \U0001F600");
}

TEST(OrbADOValues, VariantTypesAreStoredByKind) {
  CChatDb file;
  COrbADO db;
  ASSERT_TRUE(OpenWrite(db, file, "SELECT * FROM CustChatGroupList"));
  ASSERT_TRUE(db.AppendBlank());
  COrbVariant real;
  real.vt = VT_R8;
  real.dblVal = 2.5;
  COrbVariant flag;
  flag.vt = VT_BOOL;
  flag.boolVal = VARIANT_TRUE;
  COrbVariant object;
  object.vt = VT_UNKNOWN;
  EXPECT_TRUE(db.SetField("groupid", 7));
  EXPECT_TRUE(db.SetField("tag", real));
  EXPECT_TRUE(db.SetField("name", flag));
  EXPECT_TRUE(db.SetField("title", "42"));
  EXPECT_TRUE(db.SetField("members", COrbVariant::Null()));
  EXPECT_FALSE(db.SetField("members", object));
  EXPECT_FALSE(db.SetField("nosuchcolumn", 1));
  ASSERT_TRUE(db.Update());
  EXPECT_STREQ(file.Value("SELECT typeof(tag) || typeof(name) || typeof(title) || typeof(members) "
                          "FROM CustChatGroupList"),
               "realtexttextnull");
  EXPECT_STREQ(file.Value("SELECT tag || '/' || name FROM CustChatGroupList"), "2.5/-1");
  // A text column holding digits is read as text, and as a number on request.
  EXPECT_EQ(db.GetField("title").vt, VT_BSTR);
  EXPECT_EQ(db.GetField("title").ToInt(), 42);
}

TEST(OrbADOCursor, FirstNextEndAndOneBasedMoveOnEveryResult) {
  CChatDb file;
  ASSERT_TRUE(file.Exec(kContacts));
  COrbADO db;
  EXPECT_EQ(db.isEOF(), 1);
  EXPECT_EQ(db.RecordCount(), 0);
  EXPECT_EQ(db.GetField("name").vt, VT_EMPTY);
  ASSERT_TRUE(OpenRead(db, file, "select * from ContactList order by contactid"));
  EXPECT_EQ(db.RecordCount(), 5);
  std::string walked;
  for (db.First(); !db.isEOF(); db.Next()) walked += db.GetField("contactid").ToString().Right(1).Str();
  EXPECT_EQ(walked, "12345");
  EXPECT_FALSE(db.Next());  // stays past the end
  EXPECT_EQ(db.isEOF(), 1);

  const struct {
    long move;
    const char* id;  // nullptr: no current record
  } moves[] = {{1, "c1001"}, {3, "p1003"}, {5, "p1005"}, {6, nullptr}, {0, nullptr}, {-2, nullptr}, {2, "c1002"}};
  for (const auto& m : moves) {
    EXPECT_EQ(db.Move(m.move), m.id != nullptr) << m.move;
    EXPECT_EQ(db.isEOF(), m.id ? 0 : 1) << m.move;
    if (m.id) {
      EXPECT_STREQ(db.GetField("contactid").ToString(), m.id) << m.move;
    }
  }
  EXPECT_TRUE(db.End());
  EXPECT_STREQ(db.GetField("contactid").ToString(), "p1005");

  ASSERT_TRUE(db.OpenTable("select * from ContactList where contactid='none'", 3, 1, 1));
  EXPECT_EQ(db.RecordCount(), 0);
  EXPECT_EQ(db.isEOF(), 1);
  EXPECT_FALSE(db.End());
  EXPECT_FALSE(db.Move(1));
}

TEST(OrbADOChange, AReadOnlyResultChangesNothing) {
  CChatDb file;
  ASSERT_TRUE(file.Exec(kContacts));
  COrbADO db;
  ASSERT_TRUE(OpenRead(db, file, "select * from ContactList"));
  EXPECT_FALSE(db.SetField("name", "x"));
  EXPECT_FALSE(db.AppendBlank());
  EXPECT_FALSE(db.Update());
  db.DisConnect();
  EXPECT_EQ(file.Count("ContactList"), 5);
  EXPECT_STREQ(file.Value("SELECT count(*) FROM ContactList WHERE name = 'x'"), "0");
}

TEST(OrbADOChange, UpdateChangesOnlyTheCurrentRowAndAppendInsertsOne) {
  CChatDb file;
  ASSERT_TRUE(file.Exec(kContacts));
  COrbADO db;
  ASSERT_TRUE(OpenWrite(db, file, "select * from ContactList order by contactid"));
  ASSERT_TRUE(db.Move(2));
  ASSERT_TRUE(db.SetField("name", "李四"));
  EXPECT_STREQ(db.GetField("name").ToString(), "李四");  // the edit shows before it is saved
  ASSERT_TRUE(db.Update());
  EXPECT_STREQ(file.Value("SELECT name FROM ContactList WHERE contactid='c1002'"), "李四");
  EXPECT_STREQ(file.Value("SELECT group_concat(name) FROM ContactList WHERE contactid<>'c1002'"),
               "张三,王五,赵六,钱七");

  ASSERT_TRUE(db.OpenTable("SELECT * FROM CustChatObjectTag", adOpenKeyset, adLockOptimistic, adCmdText));
  ASSERT_TRUE(db.AppendBlank());
  EXPECT_EQ(db.isEOF(), 0);
  EXPECT_EQ(db.GetField("id").vt, VT_NULL);
  ASSERT_TRUE(db.SetField("name", "好友"));
  ASSERT_TRUE(db.SetField("tag", 1));
  ASSERT_TRUE(db.Update());
  EXPECT_EQ(db.GetField("id").vt, VT_I4);  // read back with the number the file gave it
  EXPECT_EQ(db.RecordCount(), 1);
  EXPECT_EQ(file.Count("CustChatObjectTag"), 1);
  EXPECT_STREQ(file.Value("SELECT name || '/' || tag FROM CustChatObjectTag"), "好友/1");
}

TEST(OrbADOChange, MovingSavesDisconnectingDropsAndCancelRestores) {
  CChatDb file;
  ASSERT_TRUE(file.Exec(kContacts));
  {
    COrbADO db;
    ASSERT_TRUE(OpenWrite(db, file, "select * from ContactList order by contactid"));
    ASSERT_TRUE(db.SetField("name", "saved by moving"));
    ASSERT_TRUE(db.Next());
    ASSERT_TRUE(db.SetField("name", "cancelled"));
    db.CancelUpdate();
    EXPECT_EQ(db.GetField("name").vt, VT_NULL);
    ASSERT_TRUE(db.Next());
    ASSERT_TRUE(db.SetField("name", "saved by appending"));
    ASSERT_TRUE(db.AppendBlank());  // moving to a new row saves as well
    ASSERT_TRUE(db.SetField("contactid", "never saved"));
    db.DisConnect();
  }
  EXPECT_STREQ(file.Value("SELECT name FROM ContactList WHERE contactid='c1001'"), "saved by moving");
  EXPECT_STREQ(file.Value("SELECT name FROM ContactList WHERE contactid='c1002'"), "<null>");
  EXPECT_STREQ(file.Value("SELECT name FROM ContactList WHERE contactid='p1003'"), "saved by appending");
  EXPECT_EQ(file.Count("ContactList"), 5);
}

TEST(OrbADOChange, FailedSavesReportFalseAndKeepTheFileIntact) {
  CChatDb file;
  ASSERT_TRUE(file.Exec(kContacts));
  ASSERT_TRUE(file.Exec("INSERT INTO CustChatObjectList (contactid, name) VALUES ('c1001', '张三')"));
  COrbADO db;
  db.SetBusyTimeout(100);
  ASSERT_TRUE(OpenWrite(db, file, "SELECT * FROM CustChatObjectList"));
  // A contact is a chat object once.
  ASSERT_TRUE(db.AppendBlank());
  ASSERT_TRUE(db.SetField("contactid", "c1001"));
  EXPECT_FALSE(db.Update());
  db.CancelUpdate();
  EXPECT_EQ(file.Count("CustChatObjectList"), 1);

  // The row went away since it was read.
  ASSERT_TRUE(db.First());
  ASSERT_TRUE(file.Exec("DELETE FROM CustChatObjectList"));
  ASSERT_TRUE(db.SetField("name", "ghost"));
  EXPECT_FALSE(db.Update());
  db.CancelUpdate();
  EXPECT_EQ(file.Count("CustChatObjectList"), 0);

  // Another user is writing: the change waits, fails, and succeeds later.
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
