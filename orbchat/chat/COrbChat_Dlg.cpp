#include "chat/COrbChat_Dlg.h"

#include "COrbHttp_Protocol_Orb.h"
#include "InfoLoginInfoStruct.h"
#include "OrbSkin.h"
#include "chat/ModuleHandle.h"
#include "resources/resource.h"
#include "support/FileUtils.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kControlBack = RGB(255, 248, 255);

// The window rectangle of a control, empty when it has no window.
CRect WindowRectOf(const CWnd& control) {
  CRect rect;
  if (control.GetSafeHwnd()) control.GetWindowRect(rect);
  return rect;
}

}  // namespace

BEGIN_MESSAGE_MAP(COrbChat_Dlg, CDialog)
  ON_WM_ERASEBKGND()
  ON_WM_CTLCOLOR()
  ON_WM_SETCURSOR()
  ON_WM_SIZE()
  ON_BN_CLICKED(IDC_TAB_OBJECT, &COrbChat_Dlg::OnTabObject)
  ON_BN_CLICKED(IDC_TAB_GROUP, &COrbChat_Dlg::OnTabGroup)
  ON_BN_CLICKED(IDC_TAB_COMMUNITY, &COrbChat_Dlg::OnTabCommunity)
END_MESSAGE_MAP()

COrbChat_Dlg::COrbChat_Dlg(CWnd* pParent, int x, int y, int cx, int cy, tagWEB_PROTOCOL_HEAD* pWebHead,
                           ProtoHead_Orb* pProtoHead, COrbHttp_Protocol_Orb* pProtocol)
    : CDialog(OrbChatModuleHandle(), IDD_CHAT_PANEL, pParent),
      m_pWebHead(pWebHead),
      m_pProtoHead(pProtoHead),
      m_pProtocol(pProtocol),
      m_nX(x),
      m_nY(y),
      m_nWidth(cx),
      m_nHeight(cy) {
  // The manager polls from the moment the panel exists, before its window.
  m_pChatMgr = std::make_unique<COrbChat_Mgr>(m_pProtocol);
  m_pChatMgr->Create(IDD_CHAT_MANAGER, nullptr);

  m_treeObject.m_pProtocol = m_pProtocol;
  m_treeObject.m_pChatMgr = m_pChatMgr.get();
  m_treeGroup.m_pProtocol = m_pProtocol;
  m_treeGroup.m_pChatMgr = m_pChatMgr.get();
  m_treeCommunity.m_pWebHead = m_pWebHead;
  m_treeCommunity.m_pProtocol = m_pProtocol;
  m_treeCommunity.m_pChatMgr = m_pChatMgr.get();
}

COrbChat_Dlg::~COrbChat_Dlg() {
  // The manager goes first, with every conversation window it owns; the
  // trees still point at it until then.
  m_pChatMgr.reset();
}

void COrbChat_Dlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_TREE_OBJECT, m_treeObject);
  DDX_Control(dx, IDC_TREE_GROUP, m_treeGroup);
  DDX_Control(dx, IDC_TREE_COMMUNITY, m_treeCommunity);
  DDX_Control(dx, IDC_TAB_OBJECT, m_btnTabObject);
  DDX_Control(dx, IDC_TAB_GROUP, m_btnTabGroup);
  DDX_Control(dx, IDC_TAB_COMMUNITY, m_btnTabCommunity);
}

BOOL COrbChat_Dlg::OnInitDialog() {
  if (!CDialog::OnInitDialog()) return FALSE;
  m_brushBk.CreateSolidBrush(kWhite);
  SkinControls();
  // Only the size is applied: the panel stays at its template's origin.
  SetWindowPos(&wndTopMost, m_nX, m_nY, m_nWidth, m_nHeight, SWP_NOMOVE);
  SelectTab(0);
  LoadMenus();
  FillTrees();
  return TRUE;
}

void COrbChat_Dlg::SkinControls() {
  dsSkinWindow(m_hWnd, DSK_PANE, nullptr, 1);
  dsSkinWindow(m_btnTabObject, DSK_TAB, "TabObject", 0);
  dsSkinWindow(m_btnTabGroup, DSK_TAB, "TabGroup", 0);
  dsSkinWindow(m_btnTabCommunity, DSK_TAB, "TabCommunity", 0);
  dsSkinWindow(m_treeObject, DSK_TREE, "TreeCtrlChat", 0);
  dsSkinWindow(m_treeGroup, DSK_TREE, "TreeCtrlChat", 0);
  dsSkinWindow(m_treeCommunity, DSK_TREE, "TreeCtrlChat", 0);
}

void COrbChat_Dlg::LoadMenus() {
  const HINSTANCE module = OrbChatModuleHandle();
  m_menuObject.LoadMenu(module, IDR_MENU_OBJECT);
  m_menuGroup.LoadMenu(module, IDR_MENU_GROUP);
  m_menuCommunity.LoadMenu(module, IDR_MENU_COMMUNITY);
  m_treeObject.m_pMenu = m_menuObject.GetSubMenu(0);
  m_treeGroup.m_pMenu = m_menuGroup.GetSubMenu(0);
  m_treeCommunity.m_pMenu = m_menuCommunity.GetSubMenu(0);
}

void COrbChat_Dlg::FillTrees() {
  if (!m_pProtocol) return;
  const InfoLoginInfoStruct* login = m_pProtocol->GetLoginInfo();
  if (!login) return;
  const CString dbPath = ReplaceExtension(login->m_strDataFilePath, ".dat");
  m_treeObject.SetDBPath(dbPath);
  m_treeObject.InitTree();
  m_treeGroup.SetDBPath(dbPath);
  m_treeGroup.InitTree();
  m_treeCommunity.SetDBPath(dbPath);
  m_treeCommunity.InitTree();
}

void COrbChat_Dlg::SelectTab(int tab) {
  m_nCurTab = tab;
  CButton* const buttons[] = {&m_btnTabObject, &m_btnTabGroup, &m_btnTabCommunity};
  CWnd* const trees[] = {&m_treeObject, &m_treeGroup, &m_treeCommunity};
  for (int i = 0; i < 3; ++i) {
    if (buttons[i]->GetSafeHwnd()) buttons[i]->SetCheck(i == tab ? BST_CHECKED : BST_UNCHECKED);
    if (trees[i]->GetSafeHwnd()) trees[i]->ShowWindow(i == tab ? SW_SHOW : SW_HIDE);
  }
}

void COrbChat_Dlg::OnSize(UINT nType, int cx, int cy) {
  CDialog::OnSize(nType, cx, cy);
  if (nType != SIZE_MINIMIZED) LayoutControls();
}

void COrbChat_Dlg::LayoutControls() {
  CWnd* const controls[] = {&m_btnTabObject, &m_btnTabGroup, &m_btnTabCommunity,
                            &m_treeObject,   &m_treeGroup,   &m_treeCommunity};
  bool any = false;
  for (CWnd* control : controls) any = any || control->GetSafeHwnd() != nullptr;
  if (!any || !m_hWnd) return;

  const CRect panel = GetWindowRect();
  const int width = panel.Width();
  const int height = panel.Height();
  const CRect tab0 = WindowRectOf(m_btnTabObject);
  const CRect tab1 = WindowRectOf(m_btnTabGroup);
  const CRect tab2 = WindowRectOf(m_btnTabCommunity);
  if (m_btnTabObject.GetSafeHwnd()) m_btnTabObject.MoveWindow(2, 0, tab0.Width(), tab0.Height(), TRUE);
  if (m_btnTabGroup.GetSafeHwnd()) m_btnTabGroup.MoveWindow(tab0.Width() + 3, 0, tab1.Width(), tab1.Height(), TRUE);
  if (m_btnTabCommunity.GetSafeHwnd())
    m_btnTabCommunity.MoveWindow(tab0.Width() + tab1.Width() + 4, 0, tab2.Width(), tab2.Height(), TRUE);
  const int treeTop = tab2.Height() + 1;
  for (CWnd* tree : {static_cast<CWnd*>(&m_treeObject), static_cast<CWnd*>(&m_treeGroup),
                     static_cast<CWnd*>(&m_treeCommunity)}) {
    if (tree->GetSafeHwnd()) tree->MoveWindow(0, treeTop, width, height - treeTop, TRUE);
  }
}

BOOL COrbChat_Dlg::OnSetCursor(CWnd* /*pWnd*/, UINT /*nHitTest*/, UINT /*message*/) {
  POINT cursor{};
  ::GetCursorPos(&cursor);
  bool overTab = false;
  for (const CButton* tab : {&m_btnTabObject, &m_btnTabGroup, &m_btnTabCommunity})
    overTab = overTab || (tab->GetSafeHwnd() && WindowRectOf(*tab).PtInRect(cursor));
  ::SetCursor(::LoadCursor(nullptr, overTab ? IDC_HAND : IDC_ARROW));
  return TRUE;
}

HBRUSH COrbChat_Dlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
  pDC->SetBkColor(kControlBack);
  return m_brushBk;
}

BOOL COrbChat_Dlg::OnEraseBkgnd(CDC* pDC) {
  // The skin paints the pane's white background; the panel only sets the
  // colour the device context draws text backgrounds with.
  pDC->SetBkColor(kWhite);
  return TRUE;
}
