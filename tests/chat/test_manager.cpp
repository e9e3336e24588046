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
#include "directory/CChatCmtTreeCtrl.h"
#include "directory/CChatObjTreeCtrl.h"
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

namespace {

// A manager with the host's pool file, a logged-in user c1001 and a local
// chat database, whose session hands out the texts the test queues.
class ManagerDispatchTest : public ManagerTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_host.Write("宿主.xml", kPoolXml));
    ASSERT_TRUE(m_db.Exec("INSERT INTO ContactList (contactid, name) VALUES ('c1002', '李四'), ('c1005', 'c1005');"
                          "INSERT INTO CustChatObjectList (contactid, name, alias, tag, role) VALUES "
                          "('c1003', '王五', '  ', 1, 'c'), ('c1004', 'c1004', '', 1, 'c');"
                          "INSERT INTO CustCommunity (groupid, groupname, groupdes, members) "
                          "VALUES ('12', '读书会', '每周一书', 'c1001,c1002,c1003');"));
    m_pManager = std::make_unique<COrbChat_Mgr>(&m_session);
    ASSERT_TRUE(m_pManager->Create(IDD_CHAT_MANAGER, nullptr));
  }
  void Queue(const char* pool, const CString& text, unsigned pushId = 0) {
    m_session.m_mapInbox[pool].push_back({text, pushId});
  }
  size_t QueuedIn(const COrbChat_Form& form) const { return form.GetPendingCount(); }

  CTestChatDb m_db;
  CFakeSession m_session{m_db.Path()};
  std::unique_ptr<COrbChat_Mgr> m_pManager;
};

CString Message(const char* threadId, const char* members, const char* body) {
  CString text;
  text.Format("{\"thread_id\":\"%s\",\"thread_members\":\"%s\",\"from_id\":\"c1002\",\"from\":\"李四\","
              "\"body\":\"%s\",\"msg_type\":\"505\"}",
              threadId, members, body);
  return text;
}

}  // namespace

// At most 100 texts of a pool per tick: 250 waiting texts take three ticks.
TEST_F(ManagerDispatchTest, EachTickTakesAtMostAHundredTextsPerPool) {
  for (int i = 0; i < 250; ++i) Queue("orb.chat.ans", Message("S1", "c1001,c1002", "你好"));
  const size_t expected[] = {100, 200, 250, 250};
  for (size_t tick : expected) {
    m_pManager->SendMessage(WM_TIMER, 2);
    ASSERT_EQ(m_pManager->m_arrForms.size(), 1u);
    EXPECT_EQ(QueuedIn(*m_pManager->m_arrForms[0]), tick);
  }
  EXPECT_EQ(m_db.Value("SELECT name FROM CustChatObjectList WHERE contactid='c1002'"), "李四");
}

TEST_F(ManagerDispatchTest, WindowsAreFoundByMemberSetThenThreadIdAndOpenedOnce) {
  COrbChat_Form* pair = m_pManager->OpenForm("", "c1002,c1001", "");
  ASSERT_NE(pair, nullptr);
  EXPECT_TRUE(pair->IsIconic()) << "a new window is shown minimised";
  EXPECT_EQ(m_pManager->OpenForm("", "C1002", ""), pair) << "letter case and the own id do not matter";
  COrbChat_Form* three = m_pManager->OpenForm("S7", "c1002,c1003", "");
  EXPECT_NE(three, pair);
  EXPECT_EQ(three->GetThreadId(), "S7");
  EXPECT_EQ(m_pManager->FindForm("S7", ""), three) << "by thread id when no members are given";
  EXPECT_EQ(m_pManager->FindForm("S8", "c1003"), nullptr);
  // The own id is a member only as a whole id: c10011 is someone else, and
  // the window still waiting for its thread id is not taken for a new target.
  EXPECT_NE(m_pManager->OpenForm("", "c10011", ""), pair);
  COrbChat_Form* community = m_pManager->OpenForm("g12", "c1001,c1002,c1003,c1004", "12");
  EXPECT_TRUE(community->IsGroup());
  EXPECT_EQ(m_pManager->m_arrForms.size(), 4u);
}

TEST_F(ManagerDispatchTest, DestroyingTheManagerDestroysEveryWindow) {
  std::vector<HWND> windows;
  for (const char* members : {"c1002", "c1003", "c1002,c1003"}) windows.push_back(m_pManager->OpenForm("", members, "")->m_hWnd);
  for (HWND window : windows) EXPECT_TRUE(::IsWindow(window));
  m_pManager->DestroyWindow();
  m_pManager.reset();
  for (HWND window : windows) EXPECT_FALSE(::IsWindow(window));
}

TEST_F(ManagerDispatchTest, DisplayNamesRecordedSendersAndCommunities) {
  EXPECT_EQ(m_pManager->GetDisplayName("c1003"), "王五") << "an alias of blanks gives the name";
  EXPECT_EQ(m_pManager->GetDisplayName("c1004"), "c1*04") << "a name equal to the id falls through to the mask";
  EXPECT_EQ(m_pManager->GetDisplayName("c1002"), "李四") << "from the contact list";
  EXPECT_EQ(m_pManager->GetDisplayName("abcdefyz"), "ab****yz");
  EXPECT_EQ(m_pManager->GetDisplayName(""), "*");

  m_pManager->RecordChatObject("s2002", "客服");
  m_pManager->RecordChatObject("9003", "九");
  m_pManager->RecordChatObject("9003", "九号");
  EXPECT_EQ(m_db.Value("SELECT role || '/' || tag FROM CustChatObjectList WHERE contactid='s2002'"), "s/2");
  EXPECT_EQ(m_db.Value("SELECT role || '/' || name FROM CustChatObjectList WHERE contactid='9003'"), "c/九号");
  EXPECT_EQ(m_db.Count("CustChatObjectList"), 4);

  CString members = " g12", id, name, description;
  EXPECT_TRUE(m_pManager->LookupCommunity("g12", members, id, name, description));
  EXPECT_EQ(members + "|" + id + "|" + name + "|" + description, "c1001,c1002,c1003|12|读书会|每周一书");
  members = "g13";
  EXPECT_FALSE(m_pManager->LookupCommunity("g12", members, id, name, description));
  m_pManager->m_strGroupMsgHead = "grp_";
  members = "grp_12";
  EXPECT_TRUE(m_pManager->LookupCommunity("grp_12", members, id, name, description)) << "a longer prefix works";
}

// End to end: a session answer, a message of a new thread and a community
// message, each to its window.
TEST_F(ManagerDispatchTest, TextsReachTheirWindowsThroughTheTimers) {
  Queue("orb.chat.ans", Message("g12", "g12", "社区消息"));
  Queue("orb.chat.ans", "[1,2]");
  Queue("orb.chat.ans", "{\"thread_id\":\"S1\"}");  // a delivery confirmation: no members
  m_pManager->SendMessage(WM_TIMER, 2);
  ASSERT_EQ(m_pManager->m_arrForms.size(), 1u);
  COrbChat_Form& community = *m_pManager->m_arrForms[0];
  EXPECT_TRUE(community.IsGroup());
  EXPECT_EQ(community.GetWindowText(), "读书会");
  EXPECT_EQ(community.GetMembers(), "c1001,c1002,c1003");
  EXPECT_EQ(QueuedIn(community), 1u);
}

// The trees open conversations through the manager: a chat object (also
// one whose tag has no row) by its id, a community with its thread id,
// description, group id and the members the database holds now.
TEST_F(ManagerDispatchTest, TreesOpenTheirItemsConversations) {
  CTestFrame frame;
  CChatObjTreeCtrl objects;
  ASSERT_TRUE(objects.CreateEx(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 300), &frame, 22007));
  objects.m_pProtocol = &m_session;
  objects.m_pChatMgr = m_pManager.get();
  objects.SetDBPath(m_db.Path());
  objects.InitTree();
  ASSERT_TRUE(objects.SelectItem(objects.FindContactItem("c1003")));
  objects.OpenSelected();
  ASSERT_EQ(m_pManager->m_arrForms.size(), 1u);
  COrbChat_Form& personal = *m_pManager->m_arrForms[0];
  EXPECT_EQ(personal.GetMembers(), "c1003");
  EXPECT_EQ(personal.GetWindowText(), "王五");
  EXPECT_FALSE(personal.IsIconic());
  EXPECT_TRUE(personal.IsWindowVisible());
  objects.SendMessage(WM_COMMAND, ID_OBJECT_SEND_MESSAGE);
  EXPECT_EQ(m_pManager->m_arrForms.size(), 1u) << "the same window again";

  ASSERT_TRUE(m_db.Exec("UPDATE CustCommunity SET members='c1001,c1002,c1003,c1004'"));
  CChatCmtTreeCtrl communities;
  ASSERT_TRUE(communities.CreateEx(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 300), &frame, 22008));
  communities.m_pProtocol = &m_session;
  communities.m_pChatMgr = m_pManager.get();
  communities.SetDBPath(m_db.Path());
  communities.InitTree();
  ASSERT_FALSE(communities.m_arrItemData.empty());
  ASSERT_TRUE(communities.SelectItem(communities.m_arrItemData[0]->hItem));
  communities.OpenSelected();
  ASSERT_EQ(m_pManager->m_arrForms.size(), 2u);
  COrbChat_Form& community = *m_pManager->m_arrForms[1];
  EXPECT_EQ(community.GetThreadId(), "g12");
  EXPECT_EQ(community.GetGroupId(), "12");
  EXPECT_EQ(community.GetMembers(), "c1001,c1002,c1003,c1004");
  EXPECT_EQ(community.GetWindowText(), "读书会");
  EXPECT_EQ(community.m_stcBanner.GetWindowText(), "每周一书");
  // Without a server session object nothing opens.
  communities.m_pProtocol = nullptr;
  m_pManager->m_arrForms.back()->ShowWindow(SW_HIDE);
  communities.OpenSelected();
  EXPECT_FALSE(m_pManager->m_arrForms.back()->IsWindowVisible());
}

// Within one tick a sender's look-ups are made once, but a sender that
// changes its name is recorded again and shows the new name.
TEST_F(ManagerDispatchTest, ASenderRenamedWithinOneTickEndsWithItsNewName) {
  for (const char* name : {"李四", "李四", "小李"}) {
    CString text;
    text.Format("{\"thread_id\":\"S1\",\"thread_members\":\"c1001,c1007\",\"from_id\":\"c1007\",\"from\":\"%s\"}", name);
    Queue("orb.chat.ans", text);
  }
  m_pManager->SendMessage(WM_TIMER, 2);
  EXPECT_EQ(m_db.Value("SELECT name FROM CustChatObjectList WHERE contactid='c1007'"), "小李");
  ASSERT_EQ(m_pManager->m_arrForms.size(), 1u);
  EXPECT_EQ(m_pManager->m_arrForms[0]->GetTitle(), "小李");
  EXPECT_EQ(m_pManager->GetDisplayName("c1007"), "小李");
}

// Texts that are not what the server writes change nothing and lose nothing
// valid; a member list of 10,000 ids is handled like any other.
TEST_F(ManagerDispatchTest, BadTextsChangeNothingAndHugeMemberListsAreHandled) {
  for (const char* bad : {"not json", "[1,2,3]", "{\"thread_id\":5,\"thread_members\":[\"c1002\"]}",
                          "{\"thread_members\":\"c1001,c1002\",\"from_id\":\"x' OR '1'='1\",\"from\":\"x' AND name='y\"}"})
    Queue("orb.chat.ans", bad, 0xFFFFFFFF);
  m_pManager->SendMessage(WM_TIMER, 2);
  EXPECT_EQ(m_db.Count("CustChatObjectList"), 3) << "one sender recorded, by its id as it came";
  CString many = "c1001";
  for (int i = 0; i < 10000; ++i) many.AppendFormat(",u%d", i);
  Queue("orb.chat.ans", Message("S9", many, "大家好"));
  Queue("orb.chat.ans", Message("S9", many, "第二条"));
  m_pManager->SendMessage(WM_TIMER, 2);
  COrbChat_Form* crowd = m_pManager->FindForm("", many);
  ASSERT_NE(crowd, nullptr);
  EXPECT_EQ(QueuedIn(*crowd), 2u) << "both messages in the one window";
}
