#include "form/COrbChat_Form.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "CClipboard.h"
#include "CFileDialog.h"
#include "COrbHttp_Protocol_Orb.h"
#include "CodePage.h"
#include "OrbSkin.h"
#include "ScreenCapture.h"
#include "Seams.h"
#include "chat/ModuleHandle.h"
#include "form/CFaceDialog.h"
#include "form/ClipboardPicture.h"
#include "form/COrbChat_Form_InfoWin.h"
#include "form/EditorSettings.h"
#include "form/ViewHtml.h"
#include "messaging/COrbChat_SendGroupMsg.h"
#include "messaging/COrbChat_SendPersonalMsg.h"
#include "resources/resource.h"
#include "support/FileUtils.h"

namespace {

// Skin kinds the form asks for.
constexpr int kSkinFrame = 0x65;
constexpr int kSkinButton = 0x67;
constexpr int kSkinStatic = 0x6A;
constexpr int kSkinComboBox = 0x6E;

constexpr int kFormWidth = 654;

// Every control RecalcLayout moves.
constexpr int kLaidOutControls[] = {IDC_FORM_AD,       IDC_FORM_BANNER,    IDC_FORM_INFO_HOST, IDC_FORM_EDITOR,
                                    IDC_FONT_NAME,     IDC_FONT_SIZE,      IDC_FORE_COLOR,     IDC_BACK_COLOR,
                                    IDC_FORM_FACE,     IDC_FORM_PICTURE,   IDC_SCREEN_CAPTURE, IDC_SPLIT_RIGHT,
                                    IDC_SPLIT_MSGEDIT, IDC_FORM_VIEW,      IDOK,               IDC_SEND,
                                    IDC_SEND_MODE};

bool InsideWindow(HWND outer, HWND wnd) { return outer && wnd && (wnd == outer || ::IsChild(outer, wnd)); }

}  // namespace

EditorKey EditorKeyAction(int sendMode, UINT key, bool ctrlHeld) {
  if (key == VK_RETURN) {
    const bool sends = (sendMode == COrbChat_Form::kSendOnEnter && !ctrlHeld) ||
                       (sendMode == COrbChat_Form::kSendOnCtrlEnter && ctrlHeld);
    return sends ? EditorKey::Send : EditorKey::None;
  }
  if (key == VK_DELETE) return EditorKey::Delete;
  if (!ctrlHeld) return EditorKey::None;
  switch (key) {
    case 'A': return EditorKey::SelectAll;
    case 'C': return EditorKey::Copy;
    case 'V': return EditorKey::Paste;
    case 'Z': return EditorKey::Undo;
    case 'X': return EditorKey::Cut;
    default: return EditorKey::None;
  }
}

BEGIN_MESSAGE_MAP(COrbChat_Form, CDialog)
  ON_WM_SIZE()
  ON_WM_TIMER()
  ON_WM_SETCURSOR()
  ON_CBN_SELCHANGE(IDC_FONT_NAME, &COrbChat_Form::OnFontNameChanged)
  ON_CBN_SELCHANGE(IDC_FONT_SIZE, &COrbChat_Form::OnFontSizeChanged)
  ON_CBN_SELCHANGE(IDC_FORE_COLOR, &COrbChat_Form::OnForeColorChanged)
  ON_CBN_SELCHANGE(IDC_BACK_COLOR, &COrbChat_Form::OnBackColorChanged)
  ON_BN_CLICKED(IDC_FORM_FACE, &COrbChat_Form::OnEmoticons)
  ON_BN_CLICKED(IDC_FORM_PICTURE, &COrbChat_Form::OnInsertPicture)
  ON_BN_CLICKED(IDC_SEND, &COrbChat_Form::OnSendButton)
  ON_BN_CLICKED(IDC_SEND_MODE, &COrbChat_Form::OnSendModeButton)
  ON_BN_CLICKED(IDC_SCREEN_CAPTURE, &COrbChat_Form::OnCaptureButton)
  ON_COMMAND(ID_CAPTURE_REGION, &COrbChat_Form::OnCaptureRegion)
  ON_COMMAND(ID_CAPTURE_FULL_SCREEN, &COrbChat_Form::OnCaptureFullScreen)
  ON_COMMAND(ID_EDITOR_SAVE_MHT, &COrbChat_Form::OnEditorSaveMht)
  ON_COMMAND(ID_EDITOR_CUT, &COrbChat_Form::OnEditorCut)
  ON_COMMAND(ID_EDITOR_COPY, &COrbChat_Form::OnEditorCopy)
  ON_COMMAND(ID_EDITOR_PASTE, &COrbChat_Form::OnEditorPaste)
  ON_COMMAND(ID_EDITOR_UNDO, &COrbChat_Form::OnEditorUndo)
  ON_COMMAND(ID_SENDMODE_ENTER, &COrbChat_Form::OnSendModeEnter)
  ON_COMMAND(ID_SENDMODE_CTRL_ENTER, &COrbChat_Form::OnSendModeCtrlEnter)
  ON_COMMAND(ID_SENDMODE_BUTTON, &COrbChat_Form::OnSendModeButtonOnly)
END_MESSAGE_MAP()

COrbChat_Form::COrbChat_Form(const CString& title, COrbHttp_Protocol_Orb* protocol, COrbChat_Mgr* chatMgr)
    : CDialog(OrbChatModuleHandle(), IDD_CHAT_FORM, nullptr),
      m_pProtocol(protocol),
      m_pChatMgr(chatMgr),
      m_pPersonalSender(std::make_unique<COrbChat_SendPersonalMsg>(protocol)),
      m_pGroupSender(std::make_unique<COrbChat_SendGroupMsg>(protocol)) {
  if (!title.IsEmpty()) m_strTitle = title;
}

COrbChat_Form::~COrbChat_Form() {
  SaveEditorSettings();
  m_pPersonalSender.reset();
  m_pGroupSender.reset();
  if (m_pInfoWin) {
    m_pInfoWin->DestroyWindow();
    m_pInfoWin.reset();
  }
  m_listPending.clear();
  // The window goes while every member object still exists, so none of its
  // children's last messages reaches a destroyed object.
  DestroyWindow();
}

void COrbChat_Form::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_FORM_BANNER, m_stcBanner);
  DDX_Control(dx, IDC_FORM_VIEW, m_stcView);
  DDX_Control(dx, IDC_FORM_EDITOR, m_stcEditor);
  DDX_Control(dx, IDC_FORM_AD, m_stcAd);
  DDX_Control(dx, IDC_FORM_INFO_HOST, m_stcInfoHost);
  DDX_Control(dx, IDC_SPLIT_MSGEDIT, m_splitMsgEdit);
  DDX_Control(dx, IDC_SPLIT_RIGHT, m_splitRight);
  DDX_Control(dx, IDC_FONT_NAME, m_cboFontName);
  DDX_Control(dx, IDC_FONT_SIZE, m_cboFontSize);
  DDX_Control(dx, IDC_FORE_COLOR, m_cboForeColor);
  DDX_Control(dx, IDC_BACK_COLOR, m_cboBackColor);
  DDX_Control(dx, IDC_SEND, m_btnSend);
}

BOOL COrbChat_Form::OnInitDialog() {
  CDialog::OnInitDialog();
  m_splitMsgEdit.m_pForm = this;
  m_splitRight.m_pForm = this;
  m_pInfoWin = std::make_unique<COrbChat_Form_InfoWin>(&m_stcInfoHost, m_pChatMgr);
  m_pInfoWin->SetDisplayNameLookup(m_fnDisplayName);
  for (CStatic* area : {&m_stcBanner, &m_stcView, &m_stcEditor, &m_stcAd, &m_stcInfoHost}) area->SetWindowText("");
  SkinControls();

  m_menuEdit.LoadMenu(OrbChatModuleHandle(), IDR_MENU_EDIT);
  m_pEditPopup = m_menuEdit.GetSubMenu(0);
  m_menuSendMode.LoadMenu(OrbChatModuleHandle(), IDR_MENU_SENDMODE);
  m_pSendModePopup = m_menuSendMode.GetSubMenu(0);
  m_menuCapture.LoadMenu(OrbChatModuleHandle(), IDR_MENU_CAPTURE);

  m_nMembersPaneWidth = m_stcInfoHost.GetClientRect().Width();
  m_nEditAreaHeight = m_stcEditor.GetClientRect().Height();

  // The hosts draw around the controls they hold, never over them.
  for (CStatic* host : {&m_stcView, &m_stcEditor, &m_stcInfoHost}) host->ModifyStyle(0, WS_CLIPCHILDREN);
  if (m_pInfoWin->Create(IDD_FORM_INFO, &m_stcInfoHost)) m_pInfoWin->ShowWindow(SW_SHOW);
  SetTitle(m_strTitle);
  FillColorLists();
  for (const CString& face : Seams::GetScreenFonts()) m_cboFontName.AddString(face);
  LoadEditorSettings();
  CreateHtmlControls();
  m_nTimerId = SetTimer(kTimerFlush, kFlushPeriod);
  PlaceOnWorkArea();
  return FALSE;
}

void COrbChat_Form::SkinControls() {
  dsSkinWindow(m_hWnd, kSkinFrame, nullptr, 1);
  const struct {
    int id;
    int kind;
    const char* item;
  } skins[] = {
      {IDC_FORM_BANNER, kSkinStatic, "staticdeepblue"},  {IDC_FORM_VIEW, kSkinStatic, "static"},
      {IDC_FORM_EDITOR, kSkinStatic, "static"},          {IDC_FORM_AD, kSkinStatic, "static"},
      {IDC_FORM_INFO_HOST, kSkinStatic, "static"},       {IDC_SPLIT_MSGEDIT, kSkinStatic, "SplitHorizontal"},
      {IDC_SPLIT_RIGHT, kSkinStatic, "SplitVertical"},   {IDC_FONT_NAME, kSkinComboBox, "combobox.100"},
      {IDC_FONT_SIZE, kSkinComboBox, "combobox.40"},     {IDC_FORE_COLOR, kSkinComboBox, "combobox.40"},
      {IDC_BACK_COLOR, kSkinComboBox, "combobox.40"},    {IDC_FORM_FACE, kSkinButton, "btnface"},
      {IDC_FORM_PICTURE, kSkinButton, "btnimage"},       {IDC_SCREEN_CAPTURE, kSkinButton, "btnscrcap"},
      {IDOK, kSkinButton, nullptr},                      {IDC_SEND, kSkinButton, nullptr},
      {IDC_SEND_MODE, kSkinButton, "dropdownbutton"},
  };
  for (const auto& skin : skins) dsSkinWindow(::GetDlgItem(m_hWnd, skin.id), skin.kind, skin.item, 0);
}

void COrbChat_Form::CreateHtmlControls() {
  m_htmlView.Create(m_stcView.GetClientRect(), &m_stcView, IDC_FORM_VIEW);
  m_htmlView.Navigate("about:blank");
  m_htmlView.SetMultiSelect(TRUE);
  m_htmlView.SetParent(&m_stcView);
  m_htmlView.SetEditMode(0);
  m_htmlView.SetHtml(MakePageHtml("", 5, 0, 0xFFFFFF));

  m_htmlEdit.Create(m_stcEditor.GetClientRect(), &m_stcEditor, IDC_FORM_EDITOR);
  m_htmlEdit.SetMultiSelect(TRUE);
  m_htmlEdit.SetParent(&m_stcEditor);
  m_htmlEdit.Navigate("about:blank");
  m_htmlEdit.SetEditMode(1);
  m_htmlEdit.SetHtml(MakePageHtml(m_strFontName, m_nFontSize, m_crForeColor, m_crBackColor));
}

void COrbChat_Form::PlaceOnWorkArea() {
  const RECT area = Seams::GetWorkArea();
  const int width = area.right - area.left + 1;
  const int height = area.bottom - area.top + 1;
  MoveWindow((width - kFormWidth) / 2, (height - height / 2) / 2, kFormWidth, height / 2, TRUE);
}

// --- Operations of the chat manager -------------------------------------------

void COrbChat_Form::SetTitle(const char* text) {
  if (!text || !*text) return;
  m_strTitle = text;
  if (m_hWnd) SetWindowText(text);
}

void COrbChat_Form::SetCaption(const char* caption) {
  if (m_hWnd) SetWindowText(caption);
}

void COrbChat_Form::SetBannerText(const char* text) {
  if (m_stcBanner.IsWindow()) m_stcBanner.SetWindowText(text);
}

void COrbChat_Form::SetThreadId(const char* id) {
  if (IsGroup()) m_pGroupSender->SetThreadId(id);
  else m_pPersonalSender->SetThreadId(id);
}

CString COrbChat_Form::GetThreadId() const {
  return IsGroup() ? m_pGroupSender->GetThreadId() : m_pPersonalSender->GetThreadId();
}

void COrbChat_Form::SetMembers(const char* list) {
  if (IsGroup()) m_pGroupSender->SetMembers(list);
  else m_pPersonalSender->SetMembers(list);
  if (m_pInfoWin) m_pInfoWin->SetMembers(list);
}

CString COrbChat_Form::GetMembers() const {
  return IsGroup() ? m_pGroupSender->GetMembers() : m_pPersonalSender->GetMembers();
}

void COrbChat_Form::SetGroupId(const char* id) {
  m_strGroupId = id ? id : "";
  m_pGroupSender->SetGroupId(id);
}

bool COrbChat_Form::OwnsPushId(unsigned pushId) const {
  return IsGroup() ? m_pGroupSender->OwnsPushId(pushId) : m_pPersonalSender->OwnsPushId(pushId);
}

unsigned COrbChat_Form::GetApplyPushId() const { return m_pPersonalSender->GetApplyPushId(); }

int COrbChat_Form::GetSessionState() const { return m_pPersonalSender->GetState(); }

void COrbChat_Form::SetSessionState(int state) { m_pPersonalSender->m_nState = state; }

void COrbChat_Form::MarkSessionEstablished() {
  if (!IsGroup()) m_pPersonalSender->MarkSessionEstablished();
}

void COrbChat_Form::SetDisplayNameLookup(DisplayNameFn lookup) {
  m_fnDisplayName = std::move(lookup);
  if (m_pInfoWin) m_pInfoWin->SetDisplayNameLookup(m_fnDisplayName);
}

// --- The queue ---------------------------------------------------------------

void COrbChat_Form::ShowSystemMessage(const char* nameText, const char* text) {
  if (!text || !*text) return;
  const CString name(nameText ? nameText : "");
  const CString fragment = NoticeFragment(name, text, ColorHex(dsGetColor("system.border")));
  const CString alias = m_pProtocol ? m_pProtocol->GetMyAlias() : CString();
  m_listPending.push_back(
      std::make_unique<InfoMsgStructer>(MakeNoticeRecord(name, fragment, LocalTimeStamp(), alias, MyUserId())));
}

void COrbChat_Form::QueueMessage(std::unique_ptr<InfoMsgStructer> record) {
  if (record) m_listPending.push_back(std::move(record));
}

CString COrbChat_Form::MyUserId() const { return m_pProtocol ? m_pProtocol->GetUserID() : CString(); }

void COrbChat_Form::FlushPendingMessages() {
  if (!m_hWnd) return;
  // A tick shows at most kMaxRecordsPerTick records; the rest follow at the
  // next ticks, in order, so a large backlog (a form restored after a long
  // time minimised) never blocks the user-interface thread for seconds.
  const size_t count = std::min(m_listPending.size(), kMaxRecordsPerTick);
  if (IsIconic()) {
    if (count > 0) m_bFlashing = FlashWindow(TRUE);
    return;
  }
  KillTimer(kTimerFlush);
  if (m_bFlashing) m_bFlashing = FlashWindow(TRUE);
  const ViewColors colors{dsGetColor("system.border"), dsGetColor("system.font"), dsGetColor("system.warning")};
  const CString myUserId = MyUserId();
  const MhtToHtmlFn mhtToHtml = [this](const CString& mht) { return m_htmlView.MhtToHtml(mht); };
  std::vector<std::unique_ptr<InfoMsgStructer>> records;
  std::vector<InfoMsgStructer*> toStore;
  for (size_t i = 0; i < count && !m_listPending.empty(); ++i) {
    records.push_back(std::move(m_listPending.front()));
    m_listPending.pop_front();
    toStore.push_back(records.back().get());
  }
  // Every record is stored before anything else, shown or not; the tick's
  // records go to disk in one write.
  if (m_pProtocol && !toStore.empty()) m_pProtocol->SaveMsgsToMdb(toStore.data(), toStore.size());
  for (const auto& record : records) {
    const CString fragment = RenderRecord(*record, myUserId, colors, mhtToHtml);
    if (!fragment.IsEmpty()) m_htmlView.AddHtml(fragment);
  }
  if (count > 0) m_htmlView.FlushAppends();
  m_nTimerId = SetTimer(kTimerFlush, kFlushPeriod);
}

// --- Layout ------------------------------------------------------------------

bool COrbChat_Form::LayoutReady() const {
  for (int id : kLaidOutControls)
    if (!::GetDlgItem(m_hWnd, id)) return false;
  return m_htmlView.IsWindow() && m_htmlEdit.IsWindow() && m_pInfoWin && m_pInfoWin->IsWindow();
}

FormLayoutSizes COrbChat_Form::MeasureLayoutSizes() const {
  FormLayoutSizes sizes;
  sizes.bannerHeight = CWnd::FromHandle(::GetDlgItem(m_hWnd, IDC_FORM_BANNER))->GetWindowRect().Height();
  sizes.adWidth = CWnd::FromHandle(::GetDlgItem(m_hWnd, IDC_FORM_AD))->GetWindowRect().Width();
  sizes.captureWidth = CWnd::FromHandle(::GetDlgItem(m_hWnd, IDC_SCREEN_CAPTURE))->GetWindowRect().Width();
  sizes.membersPaneWidth = m_nMembersPaneWidth;
  sizes.editAreaHeight = m_nEditAreaHeight;
  return sizes;
}

void COrbChat_Form::RecalcLayout() {
  if (!m_hWnd || !LayoutReady()) return;
  RECT client{};
  dsGetClientRect(m_hWnd, &client);
  ApplyLayout(ComputeFormLayout(client, MeasureLayoutSizes()));
}

FormLayout COrbChat_Form::ReadLayout() const {
  auto rectOf = [this](int id) {
    CRect rect;
    ::GetWindowRect(::GetDlgItem(m_hWnd, id), rect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  };
  FormLayout layout;
  layout.ad = rectOf(IDC_FORM_AD);
  layout.banner = rectOf(IDC_FORM_BANNER);
  layout.infoHost = rectOf(IDC_FORM_INFO_HOST);
  layout.editor = rectOf(IDC_FORM_EDITOR);
  layout.fontName = rectOf(IDC_FONT_NAME);
  layout.fontSize = rectOf(IDC_FONT_SIZE);
  layout.foreColor = rectOf(IDC_FORE_COLOR);
  layout.backColor = rectOf(IDC_BACK_COLOR);
  layout.face = rectOf(IDC_FORM_FACE);
  layout.picture = rectOf(IDC_FORM_PICTURE);
  layout.capture = rectOf(IDC_SCREEN_CAPTURE);
  layout.splitRight = rectOf(IDC_SPLIT_RIGHT);
  layout.splitMsgEdit = rectOf(IDC_SPLIT_MSGEDIT);
  layout.view = rectOf(IDC_FORM_VIEW);
  layout.close = rectOf(IDOK);
  layout.send = rectOf(IDC_SEND);
  layout.sendMode = rectOf(IDC_SEND_MODE);
  return layout;
}

void COrbChat_Form::MoveControl(int id, const CRect& rect) {
  const HWND control = ::GetDlgItem(m_hWnd, id);
  if (!control) return;
  CRect now;
  ::GetWindowRect(control, now);
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&now), 2);
  if (now == rect) return;
  ::MoveWindow(control, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
}

void COrbChat_Form::MoveHtmlControl(CWnd& control, const CRect& area) {
  if (control.IsWindow()) control.MoveWindow(HostedControlRect(area), TRUE);
}

// In the order the areas depend on each other: the right-hand pane, the
// editor, the toolbar above it, the splitters, the view, then the buttons.
void COrbChat_Form::ApplyLayout(const FormLayout& layout) {
  MoveControl(IDC_FORM_AD, layout.ad);
  MoveControl(IDC_FORM_BANNER, layout.banner);
  MoveControl(IDC_FORM_INFO_HOST, layout.infoHost);
  if (m_pInfoWin && m_pInfoWin->IsWindow())
    m_pInfoWin->MoveWindow(0, 0, layout.infoHost.Width(), layout.infoHost.Height(), TRUE);
  MoveControl(IDC_FORM_EDITOR, layout.editor);
  MoveHtmlControl(m_htmlEdit, layout.editor);
  MoveControl(IDC_FONT_NAME, layout.fontName);
  MoveControl(IDC_FONT_SIZE, layout.fontSize);
  MoveControl(IDC_FORE_COLOR, layout.foreColor);
  MoveControl(IDC_BACK_COLOR, layout.backColor);
  MoveControl(IDC_FORM_FACE, layout.face);
  MoveControl(IDC_FORM_PICTURE, layout.picture);
  MoveControl(IDC_SCREEN_CAPTURE, layout.capture);
  MoveControl(IDC_SPLIT_RIGHT, layout.splitRight);
  MoveControl(IDC_SPLIT_MSGEDIT, layout.splitMsgEdit);
  MoveControl(IDC_FORM_VIEW, layout.view);
  MoveHtmlControl(m_htmlView, layout.view);
  MoveControl(IDOK, layout.close);
  MoveControl(IDC_SEND, layout.send);
  MoveControl(IDC_SEND_MODE, layout.sendMode);
}

void COrbChat_Form::FollowSplitMsgEdit(const CRect& splitter) {
  if (!LayoutReady()) return;
  FormLayout layout = ReadLayout();
  ::FollowSplitMsgEdit(layout, splitter);
  ApplyLayout(layout);
}

void COrbChat_Form::FollowSplitRight(const CRect& splitter) {
  if (!LayoutReady()) return;
  FormLayout layout = ReadLayout();
  ::FollowSplitRight(layout, splitter);
  ApplyLayout(layout);
}

// --- Messages ----------------------------------------------------------------

void COrbChat_Form::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  RecalcLayout();
}

void COrbChat_Form::OnTimer(UINT_PTR id) {
  if (id == kTimerFlush) FlushPendingMessages();
  else if (id == kTimerSession) ApplySessionOnFirstTick();
  CDialog::OnTimer(id);
}

BOOL COrbChat_Form::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  const HWND over = wnd ? wnd->m_hWnd : nullptr;
  const char* cursor = nullptr;
  if (over && over == m_splitMsgEdit.m_hWnd) cursor = IDC_SIZENS;
  else if (over && over == m_splitRight.m_hWnd) cursor = IDC_SIZEWE;
  else if (over == m_hWnd) cursor = IDC_ARROW;
  // Inside the view and the editor the control keeps its own cursor (the
  // text cursor), as it does when it never asks its parent.
  if (!cursor) return CDialog::OnSetCursor(wnd, hitTest, message);
  ::SetCursor(::LoadCursorA(nullptr, cursor));
  return TRUE;
}

BOOL COrbChat_Form::PreTranslateMessage(MSG* msg) {
  if (HandleCaptureKey(msg)) return TRUE;
  if (msg->message == WM_KEYDOWN) {
    if (InsideWindow(m_htmlEdit.m_hWnd, msg->hwnd)) {
      HandleEditorKey(msg);
    } else if (InsideWindow(m_htmlView.m_hWnd, msg->hwnd) && (::GetKeyState(VK_CONTROL) & 0x8000)) {
      if (msg->wParam == 'C') {
        m_htmlView.Copy();
        msg->wParam = 0;
      } else if (msg->wParam == 'A') {
        m_htmlView.SelectAll();
        msg->wParam = 0;
      }
    }
  } else if (msg->message == WM_RBUTTONDOWN && m_pEditPopup && m_stcEditor.IsWindow()) {
    // msg->pt is where the cursor was when the button went down.
    if (m_stcEditor.GetWindowRect().PtInRect(msg->pt))
      dsTrackPopupMenu(*m_pEditPopup, 0, msg->pt.x, msg->pt.y, m_hWnd, nullptr);
  }
  return CDialog::PreTranslateMessage(msg);
}

// Ctrl+Alt+S and Ctrl+Alt+Q anywhere in the form: the two captures, as their
// menu items say.
bool COrbChat_Form::HandleCaptureKey(const MSG* msg) {
  if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return false;
  if (!InsideWindow(m_hWnd, msg->hwnd)) return false;
  if (::GetKeyState(VK_CONTROL) >= 0 || ::GetKeyState(VK_MENU) >= 0) return false;
  if (msg->wParam == 'S') {
    OnCaptureRegion();
  } else if (msg->wParam == 'Q') {
    OnCaptureFullScreen();
  } else {
    return false;
  }
  return true;
}

bool COrbChat_Form::HandleEditorKey(MSG* msg) {
  const bool ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
  const EditorKey action = EditorKeyAction(m_nSendKeyMode, static_cast<UINT>(msg->wParam), ctrl);
  switch (action) {
    case EditorKey::None: return false;
    case EditorKey::Send:
      // The editor sees no key at all, so it inserts no line break.
      msg->wParam = 0;
      SendComposed();
      return true;
    case EditorKey::SelectAll: m_htmlEdit.SelectAll(); break;
    case EditorKey::Copy: m_htmlEdit.Copy(); break;
    case EditorKey::Paste: m_htmlEdit.Paste(); break;
    case EditorKey::Undo: m_htmlEdit.Undo(); break;
    case EditorKey::Cut: m_htmlEdit.Cut(); break;
    case EditorKey::Delete: m_htmlEdit.Delete(); break;
  }
  msg->wParam = 0;
  return true;
}

void COrbChat_Form::OnOK() {
  ShowWindow(SW_MINIMIZE);
  ShowWindow(SW_HIDE);
  CDialog::OnOK();
}

void COrbChat_Form::OnCancel() {
  ShowWindow(SW_MINIMIZE);
  ShowWindow(SW_HIDE);
  CDialog::OnCancel();
}

BOOL COrbChat_Form::DestroyWindow() {
  if (m_nTimerId != 0) {
    KillTimer(kTimerFlush);
    m_nTimerId = 0;
  }
  return CDialog::DestroyWindow();
}

// --- Composing, pictures, capture and the edit menu ------------------------------

// Composing and sending: the gates, the active sender, the stored record and
// the echo.
// Sends the editor's content through the active sender. Each gate refuses
// with its message and leaves the editor as it is; a sent message is stored,
// echoed into the view as the user's own, and the editor starts anew.
void COrbChat_Form::SendComposed() {
  if (GetMembers().IsEmpty())
    return RefuseSend("没有 会话发送对象!\r\n请先添加会话对象成功后再发送\r\n如果没有联系人列表，本功能暂时无法使用!\r\n");
  if (GetThreadId().IsEmpty())
    return RefuseSend("会话申请尚未成功!\r\n请稍侯...会话申请成功后再发送\r\n或 按【关闭】按钮重新申请会话!\r\n");
  CString text = m_htmlEdit.GetText(1);
  text.Trim();
  CString html = m_htmlEdit.GetHtml();
  html.Trim();
  if (text.IsEmpty() && html.Find("<IMG") < 0 && html.Find("<EMBED") < 0) return RefuseSend("发送内容为空!\r\n");
  if (html == m_strLastSentHtml) return RefuseSend("不能重复发言 !\r\n");
  m_strLastSentHtml = html;  // a refused content below still counts as the last one
  const DWORD now = Seams::GetTickCount();
  if (now - m_dwLastSendTick < kMinSendIntervalMs) return RefuseSend("发言速度太快 !\r\n");
  m_dwLastSendTick = now;
  const CString mht = m_htmlEdit.GetMHT();
  if (mht.GetLength() > kMaxMhtLength) {
    CString tooLong;
    tooLong.Format("发言内容太长,不能超过 %dM(兆) 字节 !\r\n", 1);
    return RefuseSend(tooLong);
  }
  CString notice;
  if (IsGroup())
    m_pGroupSender->Send(text, mht, "mht", notice);
  else
    m_pPersonalSender->Send(text, mht, "mht", notice);
  InfoMsgStructer record = SentRecord(text, mht);
  if (m_pProtocol) m_pProtocol->SaveMsgToMdb(&record);
  ShowSystemMessage("", notice);
  ShowSystemMessage("", html);
  m_htmlEdit.SetHtml(MakePageHtml(m_strFontName, m_nFontSize, m_crForeColor, m_crBackColor));
  ActivateEditor();
}

void COrbChat_Form::RefuseSend(const char* message) { dsMessageBox(nullptr, message, "提示信息", MB_ICONINFORMATION); }

// The stored record of a sent message: the plain text as abstract and (cut
// to 80 characters, never inside one) as title, the page as an MHT body.
InfoMsgStructer COrbChat_Form::SentRecord(const CString& text, const CString& mht) const {
  SYSTEMTIME local{};
  ::GetLocalTime(&local);
  CString stamp;
  stamp.Format("%04u%02u%02u%02u%02u%02u", local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute,
               local.wSecond);
  InfoMsgStructer record;
  record.abstract = text;
  record.body = mht;
  record.from = m_pProtocol ? m_pProtocol->GetMyAlias() : CString();
  record.from_id = m_pProtocol ? m_pProtocol->GetUserID() : CString();
  record.msg_id = stamp;
  record.msg_type = IsGroup() ? m_pGroupSender->m_strType : m_pPersonalSender->m_strType;
  record.publish_time = stamp;
  record.thread_id = GetThreadId();
  record.thread_members = GetMembers();
  const std::wstring wide = CodePage::AnsiToWide(text);
  record.title = wide.size() > kTitleChars ? CodePage::WideToAnsi(wide.substr(0, kTitleChars).c_str()) + " ..." : text;
  record.url = "mht";
  return record;
}

void COrbChat_Form::ActivateEditor() {
  if (m_htmlEdit.m_hWnd) m_htmlEdit.Activate();
}

void COrbChat_Form::OnSendButton() { SendComposed(); }

// The personal session application on timer 2's first tick; the timer runs
// once whatever happens.
void COrbChat_Form::ApplySessionOnFirstTick() {
  KillTimer(kTimerSession);
  if (!GetThreadId().IsEmpty()) return;
  CString notice;
  m_pPersonalSender->ApplySession(GetMembers(), notice);
  if (!notice.IsEmpty()) ShowSystemMessage("提示", notice);
}
// --- Editor settings and the formatting toolbar ---------------------------------

CString COrbChat_Form::SettingsFile() const { return m_pProtocol ? m_pProtocol->GetUserCustomFileName() : CString(); }

void COrbChat_Form::FillColorLists() {
  m_cboForeColor.Fill(CColorComboBox::kTextColours);
  m_cboBackColor.Fill(CColorComboBox::kBackColours);
  m_cboForeColor.SetCurSel(0);
  m_cboBackColor.SetCurSel(0);
}

namespace {

// Selects the entry of the toolbar's prefix search, or nothing.
void SelectByPrefix(CComboBox& list, const char* prefix) {
  std::vector<CString> entries;
  const int count = list.GetCount();
  for (int i = 0; i < count; ++i) entries.push_back(list.GetLBText(i));
  list.SetCurSel(FindPrefixEntry(entries, prefix));
}

void SelectColour(CColorComboBox& list, COLORREF colour) {
  const int index = list.IndexOf(colour);
  list.SetCurSel(index < list.GetCount() ? index : -1);
}

}  // namespace

void COrbChat_Form::LoadEditorSettings() {
  EditorSettings settings{m_nSendKeyMode, m_strFontName, m_nFontSize, m_crForeColor, m_crBackColor};
  const CString file = SettingsFile();
  if (!file.IsEmpty()) ReadEditorSettings(file, settings);
  m_nSendKeyMode = settings.sendKeyMode;
  m_strFontName = settings.fontName;
  m_nFontSize = settings.fontSize;
  m_crForeColor = settings.foreColor;
  m_crBackColor = settings.backColor;
  m_bSettingsLoaded = true;

  if (m_cboFontName.IsWindow()) SelectByPrefix(m_cboFontName, m_strFontName);
  if (m_cboFontSize.IsWindow()) {
    CString size;
    size.Format("%d", m_nFontSize);
    SelectByPrefix(m_cboFontSize, size);
  }
  if (m_cboForeColor.IsWindow()) SelectColour(m_cboForeColor, m_crForeColor);
  if (m_cboBackColor.IsWindow()) SelectColour(m_cboBackColor, m_crBackColor);
  CheckSendModeItem();
}

// A form whose settings were never read (its window never initialised) has
// nothing of the user's to write back and leaves the file alone.
void COrbChat_Form::SaveEditorSettings() {
  if (!m_bSettingsLoaded) return;
  const CString file = SettingsFile();
  if (file.IsEmpty()) return;
  WriteEditorSettings(file, EditorSettings{m_nSendKeyMode, m_strFontName, m_nFontSize, m_crForeColor, m_crBackColor});
}

void COrbChat_Form::SetSendKeyMode(int mode) {
  m_nSendKeyMode = mode;
  const CString file = SettingsFile();
  if (!file.IsEmpty()) WriteSendKeyMode(file, mode);
  CheckSendModeItem();
}

void COrbChat_Form::CheckSendModeItem() {
  if (!m_pSendModePopup) return;
  const UINT checked = m_nSendKeyMode == kSendOnEnter       ? ID_SENDMODE_ENTER
                       : m_nSendKeyMode == kSendOnCtrlEnter ? ID_SENDMODE_CTRL_ENTER
                                                            : ID_SENDMODE_BUTTON;
  for (UINT id : {ID_SENDMODE_ENTER, ID_SENDMODE_CTRL_ENTER, ID_SENDMODE_BUTTON})
    m_pSendModePopup->CheckMenuItem(id, MF_BYCOMMAND | (id == checked ? MF_CHECKED : MF_UNCHECKED));
}

namespace {

// The selected entry when there is one inside the list.
bool Selected(const CComboBox& list, int& index) {
  index = list.GetCurSel();
  return index >= 0 && index < list.GetCount();
}

}  // namespace

void COrbChat_Form::OnFontNameChanged() {
  int index = 0;
  if (!Selected(m_cboFontName, index)) return;
  const CString name = m_cboFontName.GetLBText(index);
  // A face the editor's page could not carry is not taken.
  if (!IsUsableFontName(name)) return;
  m_strFontName = name;
  m_htmlEdit.FontName(m_strFontName);
}

void COrbChat_Form::OnFontSizeChanged() {
  int index = 0;
  if (!Selected(m_cboFontSize, index) || index + 1 > kMaxFontSize) return;
  m_nFontSize = index + 1;
  m_htmlEdit.FontSize(m_nFontSize);
}

void COrbChat_Form::OnForeColorChanged() {
  int index = 0;
  if (!Selected(m_cboForeColor, index)) return;
  m_crForeColor = m_cboForeColor.ColourOf(index);
  m_htmlEdit.FontForeColor(m_crForeColor);
}

void COrbChat_Form::OnBackColorChanged() {
  int index = 0;
  if (!Selected(m_cboBackColor, index)) return;
  m_crBackColor = m_cboBackColor.ColourOf(index);
  m_htmlEdit.FontBackColor(m_crBackColor);
}

// The send-mode menu opens below the drop-down button, its left edge at the
// button's; the chosen command comes back to the form.
void COrbChat_Form::OnSendModeButton() {
  const HWND button = ::GetDlgItem(m_hWnd, IDC_SEND_MODE);
  if (!m_pSendModePopup || !button) return;
  RECT rect{};
  ::GetWindowRect(button, &rect);
  dsTrackPopupMenu(*m_pSendModePopup, TPM_RIGHTBUTTON, rect.left, rect.bottom + 1, m_hWnd, nullptr);
}

void COrbChat_Form::OnSendModeEnter() { SetSendKeyMode(kSendOnEnter); }
void COrbChat_Form::OnSendModeCtrlEnter() { SetSendKeyMode(kSendOnCtrlEnter); }
void COrbChat_Form::OnSendModeButtonOnly() { SetSendKeyMode(kSendOnButtonOnly); }
// Emoticons and pictures.
// The picker runs modally; a chosen picture that still exists goes into the
// editor as an img tag with its full path. OK gives the editor the focus back
// whether or not a picture was chosen; Cancel leaves everything alone.
void COrbChat_Form::OnEmoticons() {
  CFaceDialog picker(this);
  if (picker.DoModal() != IDOK) return;
  if (!picker.m_strSelectedPath.IsEmpty() && FileExists(picker.m_strSelectedPath))
    m_htmlEdit.PasteHTMLAtCurrentSelection(PictureTag(picker.m_strSelectedPath), 0);
  ActivateEditor();
}
// A chosen file goes into the editor as an img tag with its full path; a file
// that does not decode is refused with a message rather than sent as a
// picture nobody can see. The editor gets the focus back either way.
void COrbChat_Form::OnInsertPicture() {
  const CString path = ChooseImageFile();
  if (!path.IsEmpty()) {
    if (IsDecodablePicture(path)) {
      m_htmlEdit.PasteHTMLAtCurrentSelection(PictureTag(path), 0);
    } else {
      CString message;
      message.Format("所选文件不是可以显示的图片，没有插入：\r\n%s", path.GetString());
      dsMessageBox(nullptr, message, "提示信息", MB_ICONINFORMATION);
    }
  }
  ActivateEditor();
}

CString COrbChat_Form::ChooseImageFile() {
  CFileDialog dialog(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST,
                     "所有图像文件 (*.bmp;*.jpg;*.jpeg;*.gif;*.png)|*.bmp;*.jpg;*.jpeg;*.gif;*.png;*.wmf;*.emf;*.tiff|"
                     "BMP 位图格式 (*.bmp)|*.bmp|JPEG压缩格式 (*.jpg;*.jpeg)|*.jpg;*.jpeg|GIF 图像互换 (*.gif)|*.gif|"
                     "PNG 流格式 (*.png)|*.png||",
                     this);
  return dialog.DoModal() == IDOK ? dialog.GetPathName() : CString();
}

// The clipboard's bitmap becomes a JPEG file of the temporary folder and goes
// into the editor. A picture too large to send is refused with a notice in
// the view; a clipboard without a bitmap inserts nothing.
bool COrbChat_Form::InsertClipboardPicture() {
  CString path;
  const ClipboardPicture result = SaveClipboardPicture(m_hWnd, GetTempDir(), Seams::GetTickCount(), path);
  if (result == ClipboardPicture::BadSize)
    ShowSystemMessage("提示", "剪贴板中的图片没有内容或者太大，没有插入。");
  if (result != ClipboardPicture::Saved) return false;
  m_htmlEdit.PasteHTMLAtCurrentSelection(PictureTag(path), 0);
  return true;
}

// Clipboard text goes in as text: its characters are written as entities, so
// copied markup neither disappears nor pulls local files into the message.
bool COrbChat_Form::InsertClipboardText() {
  CString text;
  {
    CClipboardLock clipboard(m_hWnd);
    if (!clipboard.IsOpen() || !clipboard->HasText()) return false;
    text = clipboard->GetText();
  }
  if (text.IsEmpty()) return false;
  return SUCCEEDED(m_htmlEdit.PasteHTMLAtCurrentSelection(TextAsHtml(text), 1));
}

// Screen capture.
void COrbChat_Form::OnCaptureButton() {
  CMenu* popup = m_menuCapture.GetSubMenu(0);
  const HWND button = ::GetDlgItem(m_hWnd, IDC_SCREEN_CAPTURE);
  if (!popup || !button) return;
  RECT rect{};
  ::GetWindowRect(button, &rect);
  dsTrackPopupMenu(*popup, TPM_RIGHTBUTTON, rect.left, rect.bottom + 1, m_hWnd, nullptr);
}

void COrbChat_Form::OnCaptureRegion() {
  CScreenCapture capture(m_hWnd);
  if (capture.ScreenCapture(CScreenCapture::CAPTYPE_REGION)) InsertClipboardPicture();
}

void COrbChat_Form::OnCaptureFullScreen() {
  CScreenCapture capture(m_hWnd);
  capture.ScreenCapture(CScreenCapture::CAPTYPE_FULLSCREEN);
  InsertClipboardPicture();
}

// The editor's context menu.
// Saves the editor's content as a single-file web page. An existing file is
// replaced only when the user says so, and only by a whole new file: it is
// not deleted first, so a failed write leaves it as it was.
void COrbChat_Form::OnEditorSaveMht() {
  CFileDialog dialog(FALSE, nullptr, nullptr, 0, "Web档案 单个文件 (*.mht)|*.mht|所有文件 (*.*)|*.*||", this);
  if (dialog.DoModal() != IDOK) return;
  CString path = dialog.GetPathName();
  if (dialog.GetFileExt().IsEmpty()) path += ".mht";
  if (FileExists(path)) {
    CString question;
    question.Format("%s 文件已存在！\r\n是否覆盖(是/否)？", path.GetString());
    if (dsMessageBox(nullptr, question, "提示", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  }
  if (FAILED(m_htmlEdit.SaveToMHT(path))) {
    CString message;
    message.Format("%s 文件保存失败！\r\n请检查文件夹是否存在、能否写入。", path.GetString());
    dsMessageBox(nullptr, message, "提示信息", MB_ICONINFORMATION);
  }
}

void COrbChat_Form::OnEditorCut() { m_htmlEdit.Cut(); }
void COrbChat_Form::OnEditorCopy() { m_htmlEdit.Copy(); }
void COrbChat_Form::OnEditorUndo() { m_htmlEdit.Undo(); }

// A bitmap on the clipboard is inserted as a picture, otherwise its text.
void COrbChat_Form::OnEditorPaste() {
  if (Seams::GetClipboard().HasBitmap())
    InsertClipboardPicture();
  else if (Seams::GetClipboard().HasText())
    InsertClipboardText();
}
