// The conversation window itself: initialisation, the manager's operations
// and their routing to the active sender, the queue and its timer, closing,
// the keyboard rules, the context menu, cursors, layout and splitters.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "MessageBoxRecorder.h"
#include "OrbSkin.h"
#include "OrbTesting.h"
#include "form/COrbChat_Form.h"
#include "form/COrbChat_Form_InfoWin.h"
#include "form/FormLayout.h"
#include "messaging/COrbChat_SendGroupMsg.h"
#include "messaging/COrbChat_SendPersonalMsg.h"
#include "resources/resource.h"

namespace {

HWND Item(COrbChat_Form& form, int id) { return ::GetDlgItem(form.m_hWnd, id); }

CString SkinItem(HWND wnd) {
  char buffer[64] = {};
  dsGetSkinItem(wnd, buffer, sizeof buffer);
  return buffer;
}

TEST(FormWindow, InitialisationSkinsMenusFontsAndPlace) {
  CFormFixture fixture;
  COrbChat_Form& form = *fixture.m_pForm;
  const struct {
    int id;
    int kind;
    const char* item;
  } skins[] = {{IDC_FORM_BANNER, 0x6A, "staticdeepblue"}, {IDC_FORM_VIEW, 0x6A, "static"},
               {IDC_SPLIT_MSGEDIT, 0x6A, "SplitHorizontal"}, {IDC_SPLIT_RIGHT, 0x6A, "SplitVertical"},
               {IDC_FONT_NAME, 0x6E, "combobox.100"},       {IDC_BACK_COLOR, 0x6E, "combobox.40"},
               {IDC_SCREEN_CAPTURE, 0x67, "btnscrcap"},     {IDC_SEND_MODE, 0x67, "dropdownbutton"},
               {IDOK, 0x67, ""}};
  EXPECT_EQ(dsGetSkinKind(form.m_hWnd), 0x65);
  for (const auto& skin : skins) {
    EXPECT_EQ(dsGetSkinKind(Item(form, skin.id)), skin.kind) << skin.id;
    EXPECT_EQ(SkinItem(Item(form, skin.id)), skin.item) << skin.id;
  }
  EXPECT_EQ(CWnd::FromHandle(Item(form, IDC_FORM_VIEW))->GetWindowText(), "");
  ASSERT_NE(form.m_pEditPopup, nullptr);
  EXPECT_EQ(form.m_pEditPopup->GetMenuItemID(0), static_cast<UINT>(ID_EDITOR_SAVE_MHT));
  ASSERT_NE(form.m_pSendModePopup, nullptr);
  EXPECT_EQ(form.m_pSendModePopup->GetMenuItemID(2), static_cast<UINT>(ID_SENDMODE_BUTTON));
  EXPECT_EQ(form.m_cboFontName.GetCount(), 3);
  EXPECT_EQ(form.m_cboFontSize.GetCount(), 7);
  EXPECT_NE(form.m_nTimerId, 0u);
  EXPECT_EQ(form.GetView().GetEditMode(), 0);
  EXPECT_EQ(form.GetEditor().GetEditMode(), 1);
  EXPECT_GT(form.m_nMembersPaneWidth, 0);
  EXPECT_GT(form.m_nEditAreaHeight, 0);
  // Work area 1280 x 1000: 654 wide, half as high, centred, a quarter down.
  EXPECT_EQ(form.GetWindowRect(), CRect(313, 250, 313 + 654, 250 + 500));
}

TEST(FormWindow, TitleBannerAndEmptyTitle) {
  CFormFixture fixture;
  COrbChat_Form& form = *fixture.m_pForm;
  form.SetTitle("与李四会话");
  form.SetTitle("");
  EXPECT_EQ(form.GetTitle(), "与李四会话");
  EXPECT_EQ(form.GetWindowText(), "与李四会话");
  form.SetCaption("李四 正在输入");
  EXPECT_EQ(form.GetWindowText(), "李四 正在输入");
  EXPECT_EQ(form.GetTitle(), "与李四会话");
  form.SetBannerText("李四");
  EXPECT_EQ(CWnd::FromHandle(Item(form, IDC_FORM_BANNER))->GetWindowText(), "李四");
}

TEST(FormWindow, TheGroupIdRoutesEveryCallToTheGroupSender) {
  CRecordingSession session;
  COrbChat_Form form("", &session, nullptr);
  form.SetThreadId("t-personal");
  form.SetMembers("c1001,c2002");
  form.m_pPersonalSender->m_arrPushIds = {7, 9};
  EXPECT_EQ(form.GetThreadId(), "t-personal");
  EXPECT_EQ(form.GetMembers(), "c1001,c2002");
  EXPECT_TRUE(form.OwnsPushId(9));
  form.MarkSessionEstablished();
  EXPECT_EQ(form.m_pPersonalSender->GetState(), COrbChat_SendPersonalMsg::kStateEstablished);

  form.SetSessionState(COrbChat_SendPersonalMsg::kStateNone);
  EXPECT_EQ(form.GetSessionState(), COrbChat_SendPersonalMsg::kStateNone);
  form.SetGroupId("88");
  EXPECT_EQ(form.m_pGroupSender->GetGroupId(), "88");
  EXPECT_EQ(form.GetThreadId(), form.m_pGroupSender->GetThreadId());
  EXPECT_EQ(form.GetMembers(), "");
  EXPECT_FALSE(form.OwnsPushId(9));
  form.SetThreadId("g88");
  form.SetMembers("c1001,s3003");
  form.m_pGroupSender->m_arrPushIds = {11};
  EXPECT_EQ(form.GetThreadId(), "g88");
  EXPECT_EQ(form.GetMembers(), "c1001,s3003");
  EXPECT_TRUE(form.OwnsPushId(11));
  form.MarkSessionEstablished();
  EXPECT_EQ(form.m_pPersonalSender->GetThreadId(), "t-personal");
  EXPECT_EQ(form.m_pPersonalSender->GetMembers(), "c1001,c2002");
  EXPECT_EQ(form.m_pPersonalSender->GetState(), COrbChat_SendPersonalMsg::kStateNone);
}

TEST(FormWindow, FlushStoresEveryRecordThenShowsThemInOrder) {
  CFormFixture fixture;
  COrbChat_Form& form = *fixture.m_pForm;
  form.QueueMessage(IncomingRecord("李四", "c2002", "<DIV>第一条</DIV>"));
  form.QueueMessage(IncomingRecord("冒名", "c1001", "<DIV>第二条</DIV>"));
  form.ShowSystemMessage("系统错误", "第三条");
  form.QueueMessage(IncomingRecord("李四", "c2002", "   "));
  form.ShowSystemMessage("提示", "");
  form.QueueMessage(nullptr);
  EXPECT_EQ(form.GetPendingCount(), 4u);
  form.FlushPendingMessages();
  EXPECT_EQ(form.GetPendingCount(), 0u);
  ASSERT_EQ(fixture.m_session.m_arrSaved.size(), 4u);
  EXPECT_EQ(fixture.m_session.m_arrSaved[2].from_id, "");
  EXPECT_NE(fixture.m_session.m_arrSaved[2].body.Find("第三条"), -1);
  const CString text = form.GetView().GetText(1);
  const int first = text.Find("李四(c2*02) 09:30:07 说:");
  const int second = text.Find("您 于 09:30:07 说:");
  const int third = text.Find("]系统消息:");
  EXPECT_NE(first, -1) << text.GetString();
  EXPECT_GT(second, first);
  EXPECT_GT(third, second);
  EXPECT_GT(text.Find("系统错误"), third);
  EXPECT_EQ(text.Find("冒名"), -1);
}

TEST(FormWindow, AnEscapedNameAddsNoMarkupToTheView) {
  CFormFixture fixture;
  COrbChat_Form& form = *fixture.m_pForm;
  form.QueueMessage(IncomingRecord("<B>坏人</B>", "c6<i>", "<DIV>内容</DIV>"));
  form.FlushPendingMessages();
  EXPECT_NE(form.GetView().GetText(1).Find("<B>坏人</B>(c6*i>)"), -1) << form.GetView().GetText(1).GetString();
}

TEST(FormWindow, RecordsWaitWhileMinimisedAndAppearInArrivalOrderOnRestore) {
  CFormFixture fixture;
  COrbChat_Form& form = *fixture.m_pForm;
  form.ShowWindow(SW_MINIMIZE);
  form.FlushPendingMessages();
  EXPECT_EQ(form.m_bFlashing, 0) << "nothing queued, no flash";
  for (int i = 0; i < 3; ++i) {
    CString body;
    body.Format("<DIV>消息%d</DIV>", i);
    form.QueueMessage(IncomingRecord("李四", "c2002", body));
    form.FlushPendingMessages();
  }
  EXPECT_EQ(form.GetPendingCount(), 3u);
  EXPECT_TRUE(fixture.m_session.m_arrSaved.empty());
  EXPECT_EQ(form.GetView().GetText(1).Find("消息"), -1);
  form.ShowWindow(SW_RESTORE);
  ASSERT_TRUE(OrbTesting::PumpUntil([&] { return form.GetPendingCount() == 0; }, 3000));
  ASSERT_EQ(fixture.m_session.m_arrSaved.size(), 3u);
  const CString text = form.GetView().GetText(1);
  EXPECT_LT(text.Find("消息0"), text.Find("消息1"));
  EXPECT_LT(text.Find("消息1"), text.Find("消息2"));
  EXPECT_NE(form.m_nTimerId, 0u);
}

TEST(FormWindow, ClosingMinimisesAndHidesAndRecordsWaitUntilRestored) {
  CFormFixture fixture;
  COrbChat_Form& form = *fixture.m_pForm;
  ::SendMessageA(Item(form, IDOK), BM_CLICK, 0, 0);
  EXPECT_FALSE(form.IsWindowVisible());
  EXPECT_TRUE(form.IsIconic());
  ASSERT_TRUE(form.IsWindow());
  form.QueueMessage(IncomingRecord("李四", "c2002", "<DIV>关闭后</DIV>"));
  form.FlushPendingMessages();
  EXPECT_EQ(form.GetPendingCount(), 1u);
  form.ShowWindow(SW_RESTORE);
  form.FlushPendingMessages();
  EXPECT_EQ(form.GetPendingCount(), 0u);
  EXPECT_NE(form.GetView().GetText(1).Find("关闭后"), -1);
}

TEST(FormWindow, BadRecordsAreStoredAndTheViewGoesOn) {
  CFormFixture fixture;
  COrbChat_Form& form = *fixture.m_pForm;
  form.QueueMessage(IncomingRecord("李四", "c2002", CString('x', 1 << 20)));
  auto brokenMht = IncomingRecord("李四", "c2002", "Content-Type: multipart/related; boundary=\"--x\"\r\n--x");
  brokenMht->url = "mht";
  form.QueueMessage(std::move(brokenMht));
  form.QueueMessage(IncomingRecord("", "c", "<DIV>一个字符的编号</DIV>", "2026120809300712345"));
  form.FlushPendingMessages();
  form.QueueMessage(IncomingRecord("李四", "c2002", "<DIV>之后的消息</DIV>"));
  form.FlushPendingMessages();
  EXPECT_EQ(fixture.m_session.m_arrSaved.size(), 4u);
  const CString text = form.GetView().GetText(1);
  EXPECT_NE(text.Find("(*)  说:"), -1);
  EXPECT_NE(text.Find("之后的消息"), -1);
}

// bench_form grows a view to 10,000 messages; a thousand is enough here to
// span several ticks.
TEST(FormWindow, ABacklogQueuedWhileMinimisedIsStoredWholeOverSeveralTicks) {
  CFormFixture fixture;
  COrbChat_Form& form = *fixture.m_pForm;
  form.ShowWindow(SW_MINIMIZE);
  for (int i = 0; i < 1000; ++i) {
    CString body;
    body.Format("<DIV>一条消息%d</DIV>", i);
    form.QueueMessage(IncomingRecord("李四", "c2002", body));
  }
  form.FlushPendingMessages();
  EXPECT_EQ(form.GetPendingCount(), 1000u);
  form.ShowWindow(SW_RESTORE);
  // Each tick takes a bounded share, oldest first, so the window stays responsive.
  form.FlushPendingMessages();
  EXPECT_EQ(form.GetPendingCount(), 1000u - COrbChat_Form::kMaxRecordsPerTick);
  EXPECT_EQ(fixture.m_session.m_arrSaved.back().body, "<DIV>一条消息99</DIV>");
  while (form.GetPendingCount() > 0) form.FlushPendingMessages();
  ASSERT_EQ(fixture.m_session.m_arrSaved.size(), 1000u);
  EXPECT_EQ(fixture.m_session.m_arrSaved.back().body, "<DIV>一条消息999</DIV>");
  form.QueueMessage(IncomingRecord("李四", "c2002", "<DIV>最后一条</DIV>"));
  form.FlushPendingMessages();
  EXPECT_NE(form.GetView().GetText(1).Find("最后一条"), -1);
}

// Sends a key press through the message loop's translation, with Ctrl held or not.
MSG KeyDown(HWND target, UINT key, bool ctrl) {
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = ctrl ? 0x80 : 0;
  ::SetKeyboardState(keys);
  MSG msg{target, WM_KEYDOWN, key, 1, ::GetTickCount(), {}};
  CWnd::WalkPreTranslateTree(&msg);
  keys[VK_CONTROL] = 0;
  ::SetKeyboardState(keys);
  return msg;
}

TEST(EditorKeys, SendModesDecideWhichEnterSends) {
  const struct {
    int mode;
    bool ctrl;
    EditorKey action;
  } rows[] = {{0, false, EditorKey::Send}, {0, true, EditorKey::None}, {1, false, EditorKey::None},
              {1, true, EditorKey::Send},  {3, false, EditorKey::None}, {3, true, EditorKey::None},
              {2, false, EditorKey::None}};
  for (const auto& row : rows)
    EXPECT_EQ(EditorKeyAction(row.mode, VK_RETURN, row.ctrl), row.action) << row.mode << " " << row.ctrl;
  EXPECT_EQ(EditorKeyAction(3, 'A', true), EditorKey::SelectAll);
  EXPECT_EQ(EditorKeyAction(3, 'A', false), EditorKey::None);
  EXPECT_EQ(EditorKeyAction(0, VK_DELETE, false), EditorKey::Delete);
  EXPECT_EQ(EditorKeyAction(0, VK_DELETE, true), EditorKey::Delete);
  EXPECT_EQ(EditorKeyAction(0, 'V', true), EditorKey::Paste);
}

TEST(EditorKeys, EnterThatSendsNeverReachesTheEditorAndOtherEntersDo) {
  CFormFixture fixture;
  COrbChat_Form& form = *fixture.m_pForm;
  const HWND editor = form.GetEditor().m_hWnd;
  // A send of a form without members is refused with a message box: it
  // shows which Enter sent.
  OrbTesting::MessageBoxRecorder boxes;
  form.m_nSendKeyMode = COrbChat_Form::kSendOnEnter;
  EXPECT_EQ(KeyDown(editor, VK_RETURN, false).wParam, 0u);
  EXPECT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(KeyDown(editor, VK_RETURN, true).wParam, static_cast<WPARAM>(VK_RETURN));
  form.m_nSendKeyMode = COrbChat_Form::kSendOnButtonOnly;
  EXPECT_EQ(KeyDown(editor, VK_RETURN, false).wParam, static_cast<WPARAM>(VK_RETURN));
  EXPECT_EQ(KeyDown(editor, VK_RETURN, true).wParam, static_cast<WPARAM>(VK_RETURN));
  // The view is not the editor: Enter there is never a send.
  form.m_nSendKeyMode = COrbChat_Form::kSendOnEnter;
  EXPECT_EQ(KeyDown(form.GetView().m_hWnd, VK_RETURN, false).wParam, static_cast<WPARAM>(VK_RETURN));
  EXPECT_EQ(boxes.Count(), 1u);
}

TEST(EditorKeys, CtrlASelectsAllOfTheEditorOrOfTheView) {
  CFormFixture fixture;
  COrbChat_Form& form = *fixture.m_pForm;
  form.GetEditor().SetHtml("<DIV>编辑内容</DIV>");
  form.QueueMessage(IncomingRecord("李四", "c2002", "<DIV>查看内容</DIV>"));
  form.FlushPendingMessages();
  for (CHtmlEdit* control : {&form.GetEditor(), &form.GetView()}) {
    EXPECT_EQ(KeyDown(control->m_hWnd, 'A', true).wParam, 0u);
    CHARRANGE range{};
    control->SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.cpMin, 0);
    EXPECT_GT(range.cpMax, 3);
  }
  EXPECT_EQ(KeyDown(form.GetView().m_hWnd, 'X', true).wParam, static_cast<WPARAM>('X'));
}

TEST(FormWindow, RightButtonInTheEditorAreaShowsTheEditMenu) {
  CFormFixture fixture;
  COrbChat_Form& form = *fixture.m_pForm;
  OrbTesting::PopupMenuRecorder menus;
  const CRect editorArea = CWnd::FromHandle(Item(form, IDC_FORM_EDITOR))->GetWindowRect();
  MSG inside{form.GetEditor().m_hWnd, WM_RBUTTONDOWN, MK_RBUTTON, 0, 0, editorArea.CenterPoint()};
  CWnd::WalkPreTranslateTree(&inside);
  ASSERT_EQ(menus.Count(), 1u);
  EXPECT_EQ(menus.Last().owner, form.m_hWnd);
  EXPECT_EQ(menus.Last().x, editorArea.CenterPoint().x);
  EXPECT_NE(menus.Last().Find(ID_EDITOR_PASTE), nullptr);
  const CRect viewArea = CWnd::FromHandle(Item(form, IDC_FORM_VIEW))->GetWindowRect();
  MSG outside{form.GetView().m_hWnd, WM_RBUTTONDOWN, MK_RBUTTON, 0, 0, viewArea.CenterPoint()};
  CWnd::WalkPreTranslateTree(&outside);
  EXPECT_EQ(menus.Count(), 1u);
}

TEST(FormWindow, SizingCursorsOverTheSplitters) {
  CFormFixture fixture;
  COrbChat_Form& form = *fixture.m_pForm;
  const struct {
    HWND over;
    const char* cursor;
  } rows[] = {{Item(form, IDC_SPLIT_MSGEDIT), IDC_SIZENS}, {Item(form, IDC_SPLIT_RIGHT), IDC_SIZEWE},
              {form.m_hWnd, IDC_ARROW}};
  for (const auto& row : rows) {
    EXPECT_TRUE(form.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(row.over), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, row.cursor));
  }
}

TEST(FormLayoutWindow, DraggedSplittersMoveTheirNeighboursUntilTheNextResize) {
  CFormFixture fixture;
  COrbChat_Form& form = *fixture.m_pForm;
  const HWND bar = Item(form, IDC_SPLIT_MSGEDIT);
  const CRect before = RectInParent(bar);
  const CRect editorBefore = RectInParent(Item(form, IDC_FORM_EDITOR));
  ::SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 2));
  ::SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3, -38));
  // The bar followed the pointer, so the pointer is over its grip again.
  EXPECT_EQ(RectInParent(bar).top, before.top - 40);
  ::SendMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(3, 2));
  const CRect bar1 = RectInParent(bar);
  EXPECT_EQ(bar1, CRect(before.left, before.top - 40, before.right, before.bottom - 40));
  EXPECT_EQ(RectInParent(Item(form, IDC_FORM_VIEW)).bottom, bar1.top - 1);
  for (int id : {IDC_FONT_NAME, IDC_FONT_SIZE, IDC_FORE_COLOR, IDC_BACK_COLOR, IDC_FORM_FACE, IDC_FORM_PICTURE,
                 IDC_SCREEN_CAPTURE})
    EXPECT_EQ(RectInParent(Item(form, id)).top, bar1.bottom + 1) << id;
  const CRect editor = RectInParent(Item(form, IDC_FORM_EDITOR));
  EXPECT_EQ(editor.top, bar1.bottom + RectInParent(Item(form, IDC_FONT_NAME)).bottom -
                            RectInParent(Item(form, IDC_FONT_NAME)).top + 1);
  EXPECT_EQ(editor.bottom, editorBefore.bottom);
  EXPECT_FALSE(form.m_splitMsgEdit.m_bDragging);
  EXPECT_EQ(::GetCapture(), nullptr);

  const HWND right = Item(form, IDC_SPLIT_RIGHT);
  const CRect rightBefore = RectInParent(right);
  ::SendMessageA(right, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 10));
  ::SendMessageA(right, WM_LBUTTONUP, 0, MAKELPARAM(-28, 10));
  const CRect right1 = RectInParent(right);
  EXPECT_EQ(right1.left, rightBefore.left - 30);
  EXPECT_EQ(RectInParent(Item(form, IDC_FORM_VIEW)).right, right1.left - 1);
  EXPECT_EQ(RectInParent(bar).right, right1.left - 1);
  EXPECT_EQ(RectInParent(Item(form, IDC_FORM_EDITOR)).right, right1.left - 1);
  EXPECT_EQ(RectInParent(Item(form, IDC_FORM_INFO_HOST)).left, right1.right + 1);

  // A size change lays everything out again from the template's proportions.
  const CRect window = form.GetWindowRect();
  form.MoveWindow(window.left, window.top, window.Width() + 10, window.Height(), TRUE);
  RECT client{};
  dsGetClientRect(form.m_hWnd, &client);
  const CRect host = RectInParent(Item(form, IDC_FORM_INFO_HOST));
  EXPECT_EQ(host.Width(), form.m_nMembersPaneWidth);
  EXPECT_EQ(RectInParent(right).right, host.left - 1);
  EXPECT_EQ(RectInParent(Item(form, IDC_FORM_EDITOR)).Height(), form.m_nEditAreaHeight);
}


}  // namespace
