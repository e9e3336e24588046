// What the demo host prepares before its window opens: the command line, the
// demo profile with one filled database per demo user, the host's XML and INI
// files, and the server with its peers and the logged-in session.
#include <gtest/gtest.h>

#include "CDemoProfile.h"
#include "CDemoSession.h"
#include "DemoOptions.h"
#include "CTestFolder.h"
#include "OrbADO.h"
#include "ScopedSeam.h"
#include "Seams.h"

namespace {

// Rows of a table of a chat database, -1 when it cannot be read.
long CountRows(const CString& dbPath, const char* table) {
  COrbADO db;
  CString sql;
  sql.Format("SELECT * FROM %s", table);
  if (!db.ConnectAccess(dbPath) || !db.OpenTable(sql, adOpenStatic, adLockReadOnly, adCmdText)) return -1;
  const long rows = db.RecordCount();
  db.DisConnect();
  return rows;
}

TEST(DemoOptionsTest, ReadsEveryOptionAndRefusesBadOnes) {
  struct Case {
    std::vector<CString> args;
    bool ok;
    bool scripted = false;
    const char* user = "1001";
    UINT hold = 2000;
    UINT exitAfter = 0;
  } cases[] = {
      {{}, true, false, "1001", 2000, 0},
      {{"--script", "--user", "2001", "--hold", "0", "--exit-after", "3000"}, true, true, "2001", 0, 3000},
      {{"--exit-after", "15000", "--profile", "C:\\资料", "--shots", "D:\\图"}, true, false, "1001", 2000, 15000},
      {{"--exit-after"}, false, false, "", 0, 0},
      {{"--exit-after", "3s"}, false, false, "", 0, 0},
      {{"--hold", "-1"}, false, false, "", 0, 0},
      {{"--hold", "99999999999"}, false, false, "", 0, 0},
      {{"--user", ""}, false, false, "", 0, 0},
      {{"--colour", "red"}, false, false, "", 0, 0},
      // The two-host run through a broker is a scripted run.
      {{"--server", "mqtt://127.0.0.1:1883", "--chat", "reply", "--user", "1002"}, true, true, "1002", 2000, 0},
      {{"--chat", "dance"}, false, false, "", 0, 0},
      {{"--server"}, false, false, "", 0, 0},
  };
  for (const Case& c : cases) {
    CDemoOptions options;
    CString error;
    const bool ok = options.Parse(c.args, error);
    EXPECT_EQ(ok, c.ok) << (c.args.empty() ? "" : c.args[0].GetString());
    EXPECT_EQ(error.IsEmpty(), c.ok) << error.GetString();
    if (!ok || !c.ok) continue;
    EXPECT_EQ(options.m_bScripted, c.scripted);
    EXPECT_EQ(options.m_strUserId, c.user);
    EXPECT_EQ(options.m_nHoldMs, c.hold);
    EXPECT_EQ(options.m_nExitAfterMs, c.exitAfter);
  }
  CDemoOptions paths;
  CString error;
  ASSERT_TRUE(paths.Parse({"--profile", "C:\\资料", "--shots", "D:\\图"}, error));
  EXPECT_EQ(paths.m_strProfileDir, "C:\\资料");
  EXPECT_EQ(paths.m_strShotsDir, "D:\\图");
  CDemoOptions broker;
  ASSERT_TRUE(broker.Parse({"--server", "mqtts://chat.example.com", "--chat", "send-offline"}, error));
  EXPECT_EQ(broker.m_strServer, "mqtts://chat.example.com");
  EXPECT_EQ(broker.m_strChatRole, "send-offline");
}

TEST(DemoProfileTest, FirstRunFillsEveryDemoUsersDatabaseOnce) {
  CTestFolder folder;
  CDemoProfile profile(folder.File("资料"));
  CString error;
  ASSERT_TRUE(profile.Prepare(error)) << error.GetString();
  const DemoPerson* zhang = CDemoProfile::FindUser("1001");
  ASSERT_NE(zhang, nullptr);
  const CString db = profile.DatabasePath(*zhang);
  struct Count {
    const char* table;
    long rows;
  } counts[] = {{"ContactList", 9},      {"CustChatObjectTag", 4}, {"CustChatObjectList", 8},
                {"CustChatGroupTag", 2}, {"CustChatGroupList", 4}, {"CustCommunityTag", 2},
                {"CustCommunity", 3}};
  for (const Count& c : counts) EXPECT_EQ(CountRows(db, c.table), c.rows) << c.table;
  for (const char* id : {"1002", "2001"}) {
    const DemoPerson* user = CDemoProfile::FindUser(id);
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(CountRows(profile.DatabasePath(*user), "CustChatObjectList"), 8) << id;
  }
  // A user is not a chat object of his own.
  COrbADO check;
  ASSERT_TRUE(check.ConnectAccess(db));
  ASSERT_TRUE(check.OpenTable("SELECT * FROM CustChatObjectList where contactid='c1001'", 3, 1, 1));
  EXPECT_TRUE(check.isEOF());
  check.DisConnect();

  // A second run finds the files and adds nothing.
  ASSERT_TRUE(profile.Prepare(error)) << error.GetString();
  EXPECT_EQ(CountRows(db, "CustChatObjectList"), 8);
  EXPECT_EQ(CountRows(db, "ContactList"), 9);
}

TEST(DemoProfileTest, ADatabaseWithRowsOfItsOwnIsLeftAlone) {
  CTestFolder folder;
  CDemoProfile profile(folder.Path());
  CString error;
  ASSERT_TRUE(profile.Prepare(error)) << error.GetString();
  const DemoPerson& li = *CDemoProfile::FindUser("1002");
  const CString db = profile.DatabasePath(li);
  {
    COrbADO change;
    ASSERT_TRUE(change.ConnectAccess(db));
    ASSERT_TRUE(change.OpenTable("SELECT * FROM CustChatObjectTag", 1, 3, 1));
    ASSERT_TRUE(change.AppendBlank());
    ASSERT_TRUE(change.SetField("name", "我自己的标签"));
    ASSERT_TRUE(change.Update());
    change.DisConnect();
  }
  EXPECT_EQ(CDemoProfile::Seed(db, li, error), 0);
  EXPECT_EQ(CountRows(db, "CustChatObjectTag"), 5);
}

TEST(DemoProfileTest, ABadProfileGivesAMessageNamingTheFile) {
  CTestFolder folder;
  ASSERT_TRUE(folder.Write("占用的名字", "这是一个文件，不是文件夹"));
  CString error;
  EXPECT_FALSE(CDemoProfile(folder.File("占用的名字")).Prepare(error));
  EXPECT_NE(error.Find("占用的名字"), -1) << error.GetString();

  ASSERT_TRUE(folder.Write("1002.dat", "not a database at all"));
  error.Empty();
  EXPECT_FALSE(CDemoProfile(folder.Path()).Prepare(error));
  EXPECT_NE(error.Find("1002.dat"), -1) << error.GetString();
  EXPECT_NE(error.Find("删除该文件"), -1) << "the message says how to repair it";
  EXPECT_EQ(folder.Read("1002.dat"), "not a database at all") << "a damaged file is not overwritten";
}

class HostFilesTest : public ::testing::Test {
 protected:
  HostFilesTest() : m_exePath(Seams::SetHostExePath, [this] { return m_folder.File("演示.exe"); }) {}
  CTestFolder m_folder;
  OrbTesting::ScopedSeam<Seams::ModulePathFn> m_exePath;
};

TEST_F(HostFilesTest, MissingFilesAreWrittenAndPresentOnesRead) {
  {
    CDemoSession session;
    CString error;
    ASSERT_TRUE(session.PrepareHostFiles(error)) << error.GetString();
    EXPECT_TRUE(m_folder.Has("演示.xml"));
    EXPECT_NE(m_folder.Read("演示.ini").find("GroupMsgHead=g"), std::string::npos);
    EXPECT_EQ(session.Server().GetGroupMsgHead(), "g");
  }
  // The user's own settings win over the defaults, and are not rewritten.
  const std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><message><msgpool msgtype=\"505\" req=\"my.req\" ans=\"my.ans\"/>"
      "</message>";
  ASSERT_TRUE(m_folder.Write("演示.xml", xml));
  ASSERT_TRUE(m_folder.Write("演示.ini", "[System]\r\nGroupMsgHead=grp_\r\n"));
  CDemoSession session;
  CString error;
  ASSERT_TRUE(session.PrepareHostFiles(error)) << error.GetString();
  EXPECT_EQ(session.Server().GetAnswerPool("505"), "my.ans");
  EXPECT_EQ(session.Server().GetGroupMsgHead(), "grp_");
  EXPECT_EQ(m_folder.Read("演示.xml"), xml);
}

TEST_F(HostFilesTest, AnXmlFileWithoutPoolsIsReportedAndKept) {
  ASSERT_TRUE(m_folder.Write("演示.xml", "<message><nothing/></message>"));
  CDemoSession session;
  CString error;
  EXPECT_FALSE(session.PrepareHostFiles(error));
  EXPECT_NE(error.Find("演示.xml"), -1) << error.GetString();
  EXPECT_EQ(m_folder.Read("演示.xml"), "<message><nothing/></message>");
}

TEST(DemoSessionTest, LogsTheUserInWithTheOthersAsPeers) {
  CTestFolder folder;
  CDemoProfile profile(folder.Path());
  CString error;
  ASSERT_TRUE(profile.Prepare(error)) << error.GetString();
  const DemoPerson& teacher = *CDemoProfile::FindUser("2001");
  CDemoSession session;
  ASSERT_TRUE(session.Start(profile.Folder(), teacher, error)) << error.GetString();
  EXPECT_FALSE(session.Session().GetSessionID().IsEmpty());
  EXPECT_EQ(session.Session().GetMemberID(), "t2001");
  ASSERT_NE(session.Session().GetLoginInfo(), nullptr);
  EXPECT_EQ(session.Session().GetLoginInfo()->m_strDataFilePath, profile.DatabasePath(teacher));
  for (const DemoPerson& person : CDemoProfile::People())
    EXPECT_TRUE(session.Server().IsOnline(person.memberId)) << person.memberId;
  EXPECT_EQ(CDemoProfile::FindUser("1003"), nullptr) << "only the three demo users log in";
}

}  // namespace
