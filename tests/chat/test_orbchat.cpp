// The exported class and its host panel in a real parent window: Init, Show,
// Move and Free with their rules, tab switching, the layout, the cursor, the
// colours, the skinning, the menus handed to the trees, and the panel
// without a server session object or login record.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "ChatTestSupport.h"
#include "OrbSkin.h"
#include "chat/COrbChat_Dlg.h"
#include "include/OrbChat.h"
#include "resources/resource.h"
#include "tagWEB_PROTOCOL_HEAD.h"

namespace {

// The panel's rectangle in its parent's client coordinates.
CRect RectInParent(const CWnd& panel) {
  CRect rect = panel.GetWindowRect();
  ::MapWindowPoints(nullptr, ::GetParent(panel.GetSafeHwnd()), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

CRect RectInPanel(const CWnd& panel, int id) {
  CRect rect;
  HWND control = ::GetDlgItem(panel.GetSafeHwnd(), id);
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(nullptr, panel.GetSafeHwnd(), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool Visible(const CWnd& panel, int id) {
  return (::GetWindowLongPtrA(::GetDlgItem(panel.GetSafeHwnd(), id), GWL_STYLE) & WS_VISIBLE) != 0;
}

class PanelTest : public ::testing::Test {
 protected:
  PanelTest() : m_session(m_db.Path()), m_chat(&m_webHead, nullptr, &m_session) {}
  void SetUp() override {
    ASSERT_TRUE(m_db.Insert("CustChatObjectTag", {{"id", 1}, {"tag", 1}, {"name", "我的好友"}}));
    ASSERT_TRUE(m_db.Insert("CustChatObjectList", {{"contactid", "c1002"}, {"name", "李四"}, {"tag", 1}, {"role", "c"}}));
    ASSERT_TRUE(m_db.Insert("CustChatGroupList", {{"groupid", 1}, {"name", "评审"}, {"tag", 4}}));
    ASSERT_TRUE(m_db.Insert("CustCommunity", {{"groupid", "12"}, {"groupname", "开发者"}, {"tag", 1}}));
  }
  void TearDown() override { m_chat.Free(); }
  COrbChat_Dlg& Panel() { return *m_chat.m_pDlg; }

  CTestChatDb m_db;
  CFakeSession m_session;
  tagWEB_PROTOCOL_HEAD m_webHead;
  COrbChat m_chat;
  CTestFrame m_frame;
};

TEST_F(PanelTest, InitKeepsThePanelAtTheOriginWithTheGivenSize) {
  m_chat.Init(&m_frame, 50, 60, 300, 400);
  ASSERT_NE(m_chat.m_pDlg, nullptr);
  EXPECT_EQ(m_chat.m_pParent, &m_frame);
  EXPECT_EQ(RectInParent(Panel()), CRect(0, 0, 300, 400));
  EXPECT_EQ(Panel().m_nX, 50);
  EXPECT_EQ(Panel().m_nY, 60);
  EXPECT_EQ(::GetParent(Panel().GetSafeHwnd()), m_frame.GetSafeHwnd());
  EXPECT_FALSE(m_chat.m_bShown);
}

TEST_F(PanelTest, ShowWindowFollowsItsCommandAndSizeRules) {
  struct Step {
    int command, x, y, cx, cy;
    bool visible;
    CRect rect;
    const char* what;
  } steps[] = {
      {SW_HIDE, 1, 2, 3, 4, false, CRect(0, 0, 220, 480), "0 hides without moving"},
      {SW_SHOWNORMAL, 9, 9, 90, 90, false, CRect(0, 0, 220, 480), "1 changes nothing"},
      {SW_SHOW, 0, 0, 0, 0, true, CRect(0, 0, 220, 480), "5 with all zero shows without moving"},
      {SW_SHOW, 10, 20, 150, 260, true, CRect(0, 0, 150, 260), "5 with a size: at 0,0 with that size"},
      {SW_SHOW, 10, 20, 0, 0, true, CRect(0, 0, 0, 0), "5 with only a position: 0,0 and no size"},
      {SW_MINIMIZE, 0, 0, 0, 0, true, CRect(0, 0, 0, 0), "other commands change nothing"},
  };
  m_chat.Init(&m_frame, 0, 0, 220, 480);
  ASSERT_NE(m_chat.m_pDlg, nullptr);
  for (const Step& s : steps) {
    m_chat.ShowWindow(s.command, s.x, s.y, s.cx, s.cy);
    EXPECT_EQ(Panel().IsWindowVisible() != FALSE, s.visible) << s.what;
    EXPECT_EQ(RectInParent(Panel()), s.rect) << s.what;
  }
  EXPECT_TRUE(m_chat.m_bShown);
  m_chat.MoveWindow(12, 34, 200, 300, TRUE);
  EXPECT_EQ(RectInParent(Panel()), CRect(12, 34, 212, 334)) << "MoveWindow honours the position";
}

TEST_F(PanelTest, CallsBeforeInitAndAfterFreeDoNothing) {
  m_chat.ShowWindow(SW_SHOW, 1, 2, 3, 4);
  m_chat.MoveWindow(1, 2, 3, 4, TRUE);
  m_chat.Free();
  EXPECT_EQ(m_chat.m_pDlg, nullptr);
  EXPECT_FALSE(m_chat.m_bShown);

  m_chat.Init(&m_frame, 0, 0, 200, 300);
  ASSERT_NE(m_chat.m_pDlg, nullptr);
  const HWND panel = Panel().GetSafeHwnd();
  const HWND manager = Panel().m_pChatMgr->GetSafeHwnd();
  m_chat.Free();
  EXPECT_EQ(m_chat.m_pDlg, nullptr);
  EXPECT_FALSE(::IsWindow(panel));
  EXPECT_FALSE(::IsWindow(manager)) << "the chat manager goes with the panel";
  m_chat.ShowWindow(SW_SHOW, 1, 2, 3, 4);
  m_chat.MoveWindow(1, 2, 3, 4, TRUE);
  m_chat.Free();
  EXPECT_EQ(m_chat.m_pDlg, nullptr);
  EXPECT_FALSE(m_chat.m_bShown);
}

TEST_F(PanelTest, FreeAfterTheHostDestroyedItsWindowStillEndsTheManager) {
  m_chat.Init(&m_frame, 0, 0, 200, 300);
  ASSERT_NE(m_chat.m_pDlg, nullptr);
  const HWND manager = Panel().m_pChatMgr->GetSafeHwnd();
  m_frame.DestroyWindow();  // takes the panel's window with it
  m_chat.Free();
  EXPECT_EQ(m_chat.m_pDlg, nullptr);
  EXPECT_FALSE(::IsWindow(manager));
}

TEST_F(PanelTest, InitWithoutAParentOrTwiceLeavesOnePanelOrNone) {
  m_chat.Init(nullptr, 0, 0, 200, 300);
  EXPECT_EQ(m_chat.m_pDlg, nullptr);
  EXPECT_EQ(CountThreadWindows("对话框管理器"), 0) << "no manager is left behind";

  m_chat.Init(&m_frame, 0, 0, 200, 300);
  ASSERT_NE(m_chat.m_pDlg, nullptr);
  const HWND first = Panel().GetSafeHwnd();
  m_chat.Init(&m_frame, 0, 0, 210, 310);
  ASSERT_NE(m_chat.m_pDlg, nullptr);
  EXPECT_FALSE(::IsWindow(first));
  EXPECT_EQ(RectInParent(Panel()), CRect(0, 0, 210, 310));
  EXPECT_EQ(CountThreadWindows("对话框管理器"), 1);
}

TEST_F(PanelTest, StartsOnTheChatObjectTabWithFilledTreesAndTheirMenus) {
  m_chat.Init(&m_frame, 0, 0, 240, 500);
  ASSERT_NE(m_chat.m_pDlg, nullptr);
  COrbChat_Dlg& panel = Panel();
  EXPECT_EQ(panel.m_nCurTab, 0);
  EXPECT_EQ(panel.m_btnTabObject.GetCheck(), BST_CHECKED);
  EXPECT_EQ(panel.m_btnTabGroup.GetCheck(), BST_UNCHECKED);
  EXPECT_TRUE(Visible(panel, IDC_TREE_OBJECT));
  EXPECT_FALSE(Visible(panel, IDC_TREE_GROUP));
  EXPECT_FALSE(Visible(panel, IDC_TREE_COMMUNITY));
  EXPECT_EQ(panel.m_treeObject.GetDBPath(), m_db.Path());
  EXPECT_EQ(panel.m_treeObject.GetCount(), 2u);
  EXPECT_EQ(panel.m_treeGroup.GetCount(), 1u);
  EXPECT_EQ(panel.m_treeCommunity.GetCount(), 1u);
  ASSERT_NE(panel.m_treeObject.m_pMenu, nullptr);
  ASSERT_NE(panel.m_treeGroup.m_pMenu, nullptr);
  ASSERT_NE(panel.m_treeCommunity.m_pMenu, nullptr);
  EXPECT_EQ(panel.m_treeObject.m_pMenu->GetMenuItemID(0), static_cast<UINT>(ID_OBJECT_SEND_MESSAGE));
  EXPECT_EQ(panel.m_treeGroup.m_pMenu->GetMenuItemID(0), static_cast<UINT>(ID_GROUP_SEND_MESSAGE));
  EXPECT_EQ(panel.m_treeCommunity.m_pMenu->GetMenuItemID(0), static_cast<UINT>(ID_COMMUNITY_JOIN));
  EXPECT_EQ(panel.m_treeObject.m_pChatMgr, panel.m_pChatMgr.get());
  EXPECT_EQ(panel.m_treeCommunity.m_pProtocol, &m_session);
  EXPECT_EQ(panel.m_treeCommunity.m_pWebHead, &m_webHead);
}

TEST_F(PanelTest, TabButtonsSwitchTheVisibleTree) {
  m_chat.Init(&m_frame, 0, 0, 240, 500);
  ASSERT_NE(m_chat.m_pDlg, nullptr);
  COrbChat_Dlg& panel = Panel();
  CButton* const buttons[] = {&panel.m_btnTabObject, &panel.m_btnTabGroup, &panel.m_btnTabCommunity};
  const int trees[] = {IDC_TREE_OBJECT, IDC_TREE_GROUP, IDC_TREE_COMMUNITY};
  // Group twice, then community, then back to chat objects.
  for (int tab : {1, 1, 2, 0}) {
    buttons[tab]->Click();
    EXPECT_EQ(panel.m_nCurTab, tab);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(buttons[i]->GetCheck(), i == tab ? BST_CHECKED : BST_UNCHECKED) << "tab " << tab << " button " << i;
      EXPECT_EQ(Visible(panel, trees[i]), i == tab) << "tab " << tab << " tree " << i;
    }
  }
}

TEST_F(PanelTest, LayoutPutsTabsInARowAndTreesBelowThem) {
  m_chat.Init(&m_frame, 0, 0, 240, 500);
  ASSERT_NE(m_chat.m_pDlg, nullptr);
  COrbChat_Dlg& panel = Panel();
  panel.m_btnTabObject.MoveWindow(0, 0, 40, 20, TRUE);
  panel.m_btnTabGroup.MoveWindow(0, 0, 45, 20, TRUE);
  panel.m_btnTabCommunity.MoveWindow(0, 0, 44, 20, TRUE);
  m_chat.MoveWindow(0, 0, 200, 500, TRUE);
  EXPECT_EQ(RectInPanel(panel, IDC_TAB_OBJECT), CRect(2, 0, 42, 20));
  EXPECT_EQ(RectInPanel(panel, IDC_TAB_GROUP), CRect(43, 0, 88, 20));
  EXPECT_EQ(RectInPanel(panel, IDC_TAB_COMMUNITY), CRect(89, 0, 133, 20));
  for (int tree : {IDC_TREE_OBJECT, IDC_TREE_GROUP, IDC_TREE_COMMUNITY})
    EXPECT_EQ(RectInPanel(panel, tree), CRect(0, 21, 200, 500)) << tree;
}

TEST_F(PanelTest, HandCursorOnlyOverTheTabs) {
  m_chat.Init(&m_frame, 0, 0, 240, 500);
  ASSERT_NE(m_chat.m_pDlg, nullptr);
  COrbChat_Dlg& panel = Panel();
  const HCURSOR hand = ::LoadCursor(nullptr, IDC_HAND);
  const HCURSOR arrow = ::LoadCursor(nullptr, IDC_ARROW);
  struct Case {
    CWnd* over;
    HCURSOR expected;
  } cases[] = {{&panel.m_btnTabGroup, hand}, {&panel.m_treeObject, arrow}, {&panel.m_btnTabCommunity, hand}};
  for (const Case& c : cases) {
    const CPoint centre = c.over->GetWindowRect().CenterPoint();
    ASSERT_TRUE(::SetCursorPos(centre.x, centre.y));
    EXPECT_TRUE(panel.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(panel.GetSafeHwnd()),
                                  MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(::GetCursor(), c.expected);
  }
}

TEST_F(PanelTest, ControlsGetTheWhiteBrushOnAPaleBackground) {
  m_chat.Init(&m_frame, 0, 0, 240, 500);
  ASSERT_NE(m_chat.m_pDlg, nullptr);
  HDC dc = ::CreateCompatibleDC(nullptr);
  const LRESULT brush = Panel().SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                            reinterpret_cast<LPARAM>(Panel().m_btnTabGroup.GetSafeHwnd()));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), static_cast<HBRUSH>(Panel().m_brushBk));
  EXPECT_EQ(::GetBkColor(dc), RGB(255, 248, 255));
  ::DeleteDC(dc);
}

TEST_F(PanelTest, PanelAndControlsAreSkinnedByKindAndName) {
  m_chat.Init(&m_frame, 0, 0, 240, 500);
  ASSERT_NE(m_chat.m_pDlg, nullptr);
  struct Case {
    int id;
    int kind;
    const char* item;
  } cases[] = {{IDC_TAB_OBJECT, DSK_TAB, "TabObject"},       {IDC_TAB_GROUP, DSK_TAB, "TabGroup"},
               {IDC_TAB_COMMUNITY, DSK_TAB, "TabCommunity"}, {IDC_TREE_OBJECT, DSK_TREE, "TreeCtrlChat"},
               {IDC_TREE_GROUP, DSK_TREE, "TreeCtrlChat"},   {IDC_TREE_COMMUNITY, DSK_TREE, "TreeCtrlChat"}};
  EXPECT_EQ(dsGetSkinKind(Panel().GetSafeHwnd()), DSK_PANE);
  for (const Case& c : cases) {
    HWND control = ::GetDlgItem(Panel().GetSafeHwnd(), c.id);
    char item[64] = {};
    EXPECT_EQ(dsGetSkinKind(control), c.kind) << c.id;
    dsGetSkinItem(control, item, sizeof item);
    EXPECT_STREQ(item, c.item) << c.id;
  }
}

TEST_F(PanelTest, EnterAndEscapeDoNotHideThePanel) {
  m_chat.Init(&m_frame, 0, 0, 240, 500);
  ASSERT_NE(m_chat.m_pDlg, nullptr);
  Panel().SendMessage(WM_COMMAND, IDOK);
  Panel().SendMessage(WM_COMMAND, IDCANCEL);
  EXPECT_TRUE(Panel().IsWindowVisible());
}

TEST(PanelWithoutLoginTest, TreesStayEmptyAndTheManagerIsStillCreated) {
  CFakeSession notLoggedIn;
  std::unique_ptr<COrbHttp_Protocol_Orb> none;
  for (COrbHttp_Protocol_Orb* session : {static_cast<COrbHttp_Protocol_Orb*>(&notLoggedIn), none.get()}) {
    CTestFrame frame;
    COrbChat chat(nullptr, nullptr, session);
    chat.Init(&frame, 0, 0, 240, 500);
    ASSERT_NE(chat.m_pDlg, nullptr);
    COrbChat_Dlg& panel = *chat.m_pDlg;
    EXPECT_EQ(panel.m_treeObject.GetCount() + panel.m_treeGroup.GetCount() + panel.m_treeCommunity.GetCount(), 0u);
    EXPECT_EQ(panel.m_treeObject.GetDBPath(), "");
    ASSERT_NE(panel.m_pChatMgr, nullptr);
    EXPECT_TRUE(::IsWindow(panel.m_pChatMgr->GetSafeHwnd()));
    EXPECT_NE(panel.m_treeObject.m_pMenu, nullptr);
    chat.Free();
  }
}

TEST(PanelDatabasePathTest, TheLoginRecordsDataFileGetsTheDatExtension) {
  CTestChatDb db;
  ASSERT_TRUE(db.Insert("CustChatObjectTag", {{"id", 1}, {"tag", 1}, {"name", "我的好友"}}));
  CString dataFile = db.Path();
  dataFile.Replace(".dat", ".profile");
  CFakeSession session(dataFile);
  CTestFrame frame;
  COrbChat chat(nullptr, nullptr, &session);
  chat.Init(&frame, 0, 0, 240, 500);
  ASSERT_NE(chat.m_pDlg, nullptr);
  EXPECT_EQ(chat.m_pDlg->m_treeGroup.GetDBPath(), db.Path());
  EXPECT_EQ(chat.m_pDlg->m_treeObject.GetCount(), 1u);
  chat.Free();
}

// Hosts compiled against OrbChat.h rely on where each member lies: after the
// table pointer of the virtual destructor, in declaration order.
TEST(ExportedClassTest, MembersLieWhereHostsExpectThem) {
  COrbChat chat;
  const auto offset = [&chat](const void* member) {
    return static_cast<const char*>(member) - reinterpret_cast<const char*>(&chat);
  };
  EXPECT_EQ(offset(&chat.m_bShown), 8);
  EXPECT_EQ(offset(&chat.m_pDlg), 16);
  EXPECT_EQ(offset(&chat.m_pWebHead), 24);
  EXPECT_EQ(offset(&chat.m_pProtoHead), 32);
  EXPECT_EQ(offset(&chat.m_pProtocol), 40);
  EXPECT_EQ(offset(&chat.m_pParent), 48);
  EXPECT_EQ(sizeof(COrbChat), 56u);
}

TEST(BstrConversionTest, EmptiesTheOutputAndConvertsWholeTexts) {
  struct Case {
    const wchar_t* bstr;
    const char* expected;
  } cases[] = {
      {nullptr, ""},
      {L"", ""},
      {L"hello", "hello"},
      {L"张三你好，欢迎使用聊天", "张三你好，欢迎使用聊天"},
      {L"a\u0E01b", "a?b"},
  };
  for (const Case& c : cases) {
    CString out = "previous text";
    BSTR bstr = c.bstr ? ::SysAllocString(c.bstr) : nullptr;
    CHtmlEditCtrl2::BSTR2CString(bstr, out);
    ::SysFreeString(bstr);
    EXPECT_EQ(out, c.expected);
  }
}

// The class lives in OrbHtmlEdit.dll now; OrbChat.dll still exports the
// function (forwarded there), so a host that imports it from the module runs.
TEST(BstrConversionTest, OrbChatDllStillExportsIt) {
  HMODULE module = ::LoadLibraryW(L"OrbChat.dll");
  ASSERT_NE(module, nullptr);
  FARPROC address = ::GetProcAddress(module, "_ZN14CHtmlEditCtrl212BSTR2CStringEPwR7CString");
  ASSERT_NE(address, nullptr);
  void (*convert)(BSTR, CString&) = nullptr;
  static_assert(sizeof convert == sizeof address);
  std::memcpy(&convert, &address, sizeof convert);
  CString out;
  BSTR bstr = ::SysAllocString(L"张三你好");
  convert(bstr, out);
  ::SysFreeString(bstr);
  EXPECT_EQ(out, "张三你好");
  ::FreeLibrary(module);
}

}  // namespace
