// The chat manager as far as its window: created hidden from its template,
// the pool names and polling interval from the host's XML file, the
// community thread prefix from the host's INI file, the role codes from the
// server session object, and one community information request per
// community of the local database.
#include <windows.h>

#include <gtest/gtest.h>

#include "ChatTestSupport.h"
#include "ScopedSeam.h"
#include "Seams.h"
#include "chat/COrbChat_Mgr.h"
#include "resources/resource.h"

namespace {

constexpr const char* kPoolXml =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<message>\n"
    "  <msgpool msgtype=\"5\" ans=\"orb.sys.ans\"/>\n"
    "  <msgpool msgtype=\"505\" req=\"orb.chat.req\" ans=\"orb.chat.ans\"/>\n"
    "  <msgpool msgtype=\"506\" req=\"orb.group.req\" ans=\"orb.group.ans\"/>\n"
    "</message>\n";

// The host executable's path points into a fresh folder for the test.
class ManagerTest : public ::testing::Test {
 protected:
  ManagerTest() : m_hostPath(Seams::SetHostExePath, [this] { return m_host.File("宿主.exe"); }) {}

  CTestFolder m_host;
  OrbTesting::ScopedSeam<Seams::ModulePathFn> m_hostPath;
};

TEST_F(ManagerTest, WithoutHostFilesPollsSlowlyWithNoPoolsAndTheDefaultPrefix) {
  CFakeSession session;
  COrbChat_Mgr manager(&session);
  EXPECT_EQ(manager.m_strGroupMsgHead, "g");
  EXPECT_EQ(manager.m_strMyRole, "c");
  EXPECT_EQ(manager.m_strRoleCodes, "cs");
  ASSERT_TRUE(manager.Create(IDD_CHAT_MANAGER, nullptr));
  EXPECT_EQ(manager.m_strType5, "5");
  EXPECT_EQ(manager.m_strType505, "505");
  EXPECT_EQ(manager.m_strType506, "506");
  EXPECT_EQ(manager.m_strPool5, "");
  EXPECT_EQ(manager.m_strPool505, "");
  EXPECT_EQ(manager.m_strPool506, "");
  EXPECT_EQ(manager.m_nPollInterval, 1000);
  EXPECT_EQ(manager.m_strGroupMsgHead, "g");
  EXPECT_TRUE(manager.m_arrForms.empty());
}

TEST_F(ManagerTest, HostFilesGiveThePoolsTheFastIntervalAndThePrefix) {
  ASSERT_TRUE(m_host.Write("宿主.xml", kPoolXml));
  ASSERT_TRUE(m_host.Write("宿主.ini", "[System]\r\nGroupMsgHead = grp_\r\n[Chat]\r\ndefaultObjTag=3\r\n"));
  CFakeSession session;
  COrbChat_Mgr manager(&session);
  ASSERT_TRUE(manager.Create(IDD_CHAT_MANAGER, nullptr));
  EXPECT_EQ(manager.m_strPool5, "orb.sys.ans");
  EXPECT_EQ(manager.m_strPool505, "orb.chat.ans");
  EXPECT_EQ(manager.m_strPool506, "orb.group.ans");
  EXPECT_EQ(manager.m_nPollInterval, 300);
  EXPECT_EQ(manager.m_strGroupMsgHead, "grp_");
}

TEST_F(ManagerTest, ItsWindowIsHiddenUnownedAndPollsOnTwoTimers) {
  COrbChat_Mgr manager(nullptr);
  ASSERT_TRUE(manager.Create(IDD_CHAT_MANAGER, nullptr));
  EXPECT_EQ(manager.m_strMyRole, "");
  const HWND window = manager.GetSafeHwnd();
  EXPECT_FALSE(::IsWindowVisible(window));
  EXPECT_EQ(::GetParent(window), nullptr);
  EXPECT_EQ(manager.GetWindowText(), "对话框管理器");
  // KillTimer succeeds only for a timer that runs.
  EXPECT_TRUE(manager.KillTimer(1));
  EXPECT_TRUE(manager.KillTimer(2));
  EXPECT_FALSE(manager.KillTimer(3));
  manager.SendMessage(WM_COMMAND, IDCANCEL);
  EXPECT_TRUE(::IsWindow(window));
}

TEST_F(ManagerTest, AsksOnceForEveryCommunityWithAnId) {
  CTestChatDb db;
  ASSERT_TRUE(db.Insert("CustCommunity", {{"groupid", " 12 "}, {"groupname", "开发者"}}));
  ASSERT_TRUE(db.Insert("CustCommunity", {{"groupname", "无编号"}}));
  ASSERT_TRUE(db.Insert("CustCommunity", {{"groupid", "   "}}));
  ASSERT_TRUE(db.Insert("CustCommunity", {{"groupid", "社区7"}}));
  CFakeSession session(db.Path());
  COrbChat_Mgr manager(&session);
  ASSERT_TRUE(manager.Create(IDD_CHAT_MANAGER, nullptr));
  ASSERT_EQ(session.m_arrPushed.size(), 2u);
  EXPECT_EQ(session.m_arrPushed[0].pool, "GetGroupInfo");
  EXPECT_EQ(session.m_arrPushed[0].body, "12");
  EXPECT_EQ(session.m_arrPushed[1].pool, "GetGroupInfo");
  EXPECT_EQ(session.m_arrPushed[1].body, "社区7");
}

TEST_F(ManagerTest, NoLoginRecordOrNoDatabaseMeansNoRequest) {
  CTestFolder folder;
  CFakeSession notLoggedIn;
  CFakeSession noDatabase(folder.File("无此文件.dat"));
  for (CFakeSession* session : {&notLoggedIn, &noDatabase}) {
    COrbChat_Mgr manager(session);
    ASSERT_TRUE(manager.Create(IDD_CHAT_MANAGER, nullptr));
    EXPECT_TRUE(session->m_arrPushed.empty());
  }
}

}  // namespace
