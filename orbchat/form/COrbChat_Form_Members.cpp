#include "form/COrbChat_Form_Members.h"

#include "support/ChatDbRules.h"

#include "OrbSkin.h"
#include "chat/COrbChat_Mgr.h"
#include "chat/ModuleHandle.h"
#include "resources/resource.h"

namespace {
constexpr int kSkinPane = 0x66;
constexpr int kSkinListBox = 0x6C;
constexpr int kEntryHeight = 24;
constexpr COLORREF kControlBackground = RGB(255, 248, 255);
}  // namespace

BEGIN_MESSAGE_MAP(COrbChat_Form_Members, CDialog)
  ON_WM_SIZE()
  ON_WM_ERASEBKGND()
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

COrbChat_Form_Members::COrbChat_Form_Members(CWnd* parent, COrbChat_Mgr* chatMgr)
    : CDialog(OrbChatModuleHandle(), IDD_FORM_MEMBERS, parent), m_pChatMgr(chatMgr) {}

void COrbChat_Form_Members::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_MEMBER_LIST, m_list);
}

BOOL COrbChat_Form_Members::OnInitDialog() {
  CDialog::OnInitDialog();
  m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
  dsSkinWindow(m_hWnd, kSkinPane, nullptr, 0);
  return TRUE;
}

void COrbChat_Form_Members::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  if (!m_list.IsWindow()) return;
  RECT client{};
  dsGetClientRect(m_hWnd, &client);
  m_list.MoveWindow(client, TRUE);
}

BOOL COrbChat_Form_Members::OnEraseBkgnd(CDC* dc) {
  dc->SetBkColor(RGB(255, 255, 255));
  return FALSE;
}

HBRUSH COrbChat_Form_Members::OnCtlColor(CDC* dc, CWnd* wnd, UINT kind) {
  CDialog::OnCtlColor(dc, wnd, kind);
  dc->SetBkColor(kControlBackground);
  return m_brWhite;
}

void COrbChat_Form_Members::FillMembers(const CString& list) {
  if (!m_list.IsWindow()) return;
  for (int i = m_list.GetCount() - 1; i >= 0; --i) m_list.DeleteString(static_cast<UINT>(i));
  m_list.SetItemHeight(0, kEntryHeight);
  dsSkinWindow(m_list, kSkinListBox, "listMembers", 0);
  const CString roleCodes = m_pChatMgr ? m_pChatMgr->m_strRoleCodes : CString();
  const CString defaultRole = m_pChatMgr ? m_pChatMgr->m_strMyRole : CString();
  // A community of thousands would cost a name look-up and an entry each
  // and freeze the window: the first kMaxShown are listed, then the count.
  std::vector<CString> ids = SplitMembers(list);
  const size_t total = ids.size();
  if (total > kMaxShown) ids.resize(kMaxShown);
  m_list.SetRedraw(FALSE);
  for (const MemberEntry& member : MemberEntries(JoinMembers(ids), roleCodes, defaultRole, m_fnDisplayName))
    AddEntry(member.name, member.icon);
  if (total > kMaxShown) {
    CString more;
    more.Format("……共 %u 人", static_cast<unsigned>(total));
    AddEntry(more, "");
  }
  m_list.SetRedraw(TRUE);
  m_list.Invalidate();
  m_list.SetCurSel(0);
}

void COrbChat_Form_Members::AddEntry(const char* name, const char* icon) {
  const int entry = m_list.AddString("");
  if (entry < 0) return;
  dsSetDrawItemValueEx(m_list, entry, 0, "itemName", name, 0);
  dsSetDrawItemValueEx(m_list, entry, 0, "ico", icon, 0);
}
