#include "form/COrbChat_Form_InfoWin.h"

#include "OrbSkin.h"
#include "chat/ModuleHandle.h"
#include "resources/resource.h"

namespace {
constexpr int kSkinPane = 0x66;
constexpr COLORREF kControlBackground = RGB(255, 248, 255);
}  // namespace

BEGIN_MESSAGE_MAP(COrbChat_Form_InfoWin, CDialog)
  ON_WM_SIZE()
  ON_WM_ERASEBKGND()
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

COrbChat_Form_InfoWin::COrbChat_Form_InfoWin(CWnd* parent, COrbChat_Mgr* chatMgr)
    : CDialog(OrbChatModuleHandle(), IDD_FORM_INFO, parent), m_pChatMgr(chatMgr) {}

// The members pane's window goes before this pane's own.
COrbChat_Form_InfoWin::~COrbChat_Form_InfoWin() { m_pMembers.reset(); }

void COrbChat_Form_InfoWin::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_INFO_TITLE, m_stcTitle);
  DDX_Control(dx, IDC_INFO_MEMBERS_HOST, m_stcMembersHost);
}

BOOL COrbChat_Form_InfoWin::OnInitDialog() {
  CDialog::OnInitDialog();
  m_pMembers = std::make_unique<COrbChat_Form_Members>(&m_stcMembersHost, m_pChatMgr);
  m_pMembers->SetDisplayNameLookup(m_fnDisplayName);
  m_nTitleHeight = m_stcTitle.GetClientRect().Height();
  m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
  dsSkinWindow(m_hWnd, kSkinPane, nullptr, 0);
  if (m_pMembers->Create(IDD_FORM_MEMBERS, &m_stcMembersHost)) m_pMembers->ShowWindow(SW_SHOW);
  return TRUE;
}

void COrbChat_Form_InfoWin::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  if (!m_stcMembersHost.IsWindow()) return;
  RECT c{};
  dsGetClientRect(m_hWnd, &c);
  const int width = c.right - 2 * c.left;
  m_stcTitle.MoveWindow(c.left, c.top, width, m_nTitleHeight - c.top, TRUE);
  const int y = c.top + m_nTitleHeight + 1;
  m_stcMembersHost.MoveWindow(c.left, y, width, c.bottom - y, TRUE);
  if (m_pMembers && m_pMembers->IsWindow()) m_pMembers->MoveWindow(0, 0, width, c.bottom - y, TRUE);
}

BOOL COrbChat_Form_InfoWin::OnEraseBkgnd(CDC* dc) {
  dc->SetBkColor(RGB(255, 255, 255));
  return FALSE;
}

HBRUSH COrbChat_Form_InfoWin::OnCtlColor(CDC* dc, CWnd* wnd, UINT kind) {
  CDialog::OnCtlColor(dc, wnd, kind);
  dc->SetBkColor(kControlBackground);
  return m_brWhite;
}

void COrbChat_Form_InfoWin::SetMembers(const CString& list) {
  if (m_pMembers) m_pMembers->FillMembers(list);
}

void COrbChat_Form_InfoWin::SetDisplayNameLookup(DisplayNameFn lookup) {
  m_fnDisplayName = std::move(lookup);
  if (m_pMembers) m_pMembers->SetDisplayNameLookup(m_fnDisplayName);
}
