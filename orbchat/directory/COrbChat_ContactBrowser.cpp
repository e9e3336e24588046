#include "directory/COrbChat_ContactBrowser.h"

#include <commctrl.h>

#include "CClientDC.h"
#include "CSelectObjectGuard.h"
#include "COrbHttp_Protocol_Orb.h"
#include "InfoLoginInfoStruct.h"
#include "OrbSkin.h"
#include "chat/ModuleHandle.h"
#include "directory/COrbChat_SelectContactTag.h"
#include "resources/resource.h"
#include "support/FileUtils.h"

namespace {
constexpr UINT_PTR kTimerId = 1;
constexpr int kRowHeight = 25;
constexpr const char* kTextStyle = "textdefault";
}  // namespace

BEGIN_MESSAGE_MAP(COrbChat_ContactBrowser, CDialog)
  ON_WM_SIZE()
  ON_WM_TIMER()
  ON_WM_DESTROY()
  ON_BN_CLICKED(IDC_PAGE_FIRST, &COrbChat_ContactBrowser::OnFirstPage)
  ON_BN_CLICKED(IDC_PAGE_PREV, &COrbChat_ContactBrowser::OnPrevPage)
  ON_BN_CLICKED(IDC_PAGE_NEXT, &COrbChat_ContactBrowser::OnNextPage)
  ON_BN_CLICKED(IDC_PAGE_LAST, &COrbChat_ContactBrowser::OnLastPage)
  ON_NOTIFY(NM_DBLCLK, IDC_CONTACT_LIST, &COrbChat_ContactBrowser::OnListDblClk)
END_MESSAGE_MAP()

COrbChat_ContactBrowser::COrbChat_ContactBrowser(CWnd* parent, COrbHttp_Protocol_Orb* protocol, COrbChat_Mgr* chatMgr)
    : CDialog(OrbChatModuleHandle(), IDD_CONTACT_BROWSER, parent), m_pProtocol(protocol), m_pChatMgr(chatMgr) {}

COrbChat_ContactBrowser::~COrbChat_ContactBrowser() = default;

void COrbChat_ContactBrowser::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_CONTACT_LIST, m_list);
}

BOOL COrbChat_ContactBrowser::OnInitDialog() {
  if (!CDialog::OnInitDialog()) return FALSE;
  SetUpList();
  m_list.SetProp(DS_NO_SKIN_PROPERTY, reinterpret_cast<HANDLE>(1));
  dsSkinWindow(m_hWnd, DSK_DIALOG, nullptr, 1);
  m_list.RemoveProp(DS_NO_SKIN_PROPERTY);
  dsSkinWindow(m_list.m_hWnd, DSK_LISTVIEW, "listcontact", 0);
  dsSkinWindow(::GetDlgItem(m_hWnd, IDC_SEARCH_ID_LABEL), DSK_STATIC, "staticdeepblue", 0);
  dsSkinWindow(::GetDlgItem(m_hWnd, IDC_SEARCH_NAME_LABEL), DSK_STATIC, "staticdeepblue", 0);
  dsSkinWindow(::GetDlgItem(m_hWnd, IDC_PAGE_STATUS), DSK_STATIC, "staticblue", 0);
  OpenContacts();
  // The number, id and name cells always show their own text; only the icon
  // cell changes from page to page.
  for (int i = 0; i < kPageSize; ++i) {
    m_arrRows.push_back(std::make_unique<InfoContactStru>());
    m_arrIcons.emplace_back(kTextStyle);
    m_list.InsertItem(i, "");
    m_list.SetItemData(i, reinterpret_cast<DWORD_PTR>(m_arrRows.back().get()));
    for (int cell = 0; cell <= 3; ++cell) dsSetItemStyle(m_list.m_hWnd, static_cast<UINT_PTR>(i), cell, kTextStyle);
  }
  FillPage();
  LayoutControls();
  SetTimer(kTimerId, 1000);
  return TRUE;
}

// Columns: role icon, row number, id, name; rows 25 pixels high (the height
// of the list's small image list).
void COrbChat_ContactBrowser::SetUpList() {
  if (CWnd* header = m_list.GetHeaderCtrl()) header->SetFont(GetFont());
  m_list.InsertColumn(0, "", LVCFMT_LEFT, 24);
  m_list.InsertColumn(1, "序号", LVCFMT_CENTER, 40);
  m_list.InsertColumn(2, "联系人id", LVCFMT_LEFT, 150);
  m_list.InsertColumn(3, "联系人名称", LVCFMT_LEFT, 150);
  m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
  // The list destroys its image list with itself.
  m_list.SetImageList(ImageList_Create(1, kRowHeight, ILC_COLOR, 1, 0), LVSIL_SMALL);
}

void COrbChat_ContactBrowser::OpenContacts() {
  if (!m_pProtocol) return;
  const CString path = ReplaceExtension(m_pProtocol->GetUserCustomFileName(), ".dat");
  if (!m_pager.Open(path)) return;
  m_nRecordCount = static_cast<int>(m_pager.RecordCount());
  m_nPageCount = m_nRecordCount <= kPageSize ? 1 : m_nRecordCount / kPageSize + (m_nRecordCount % kPageSize ? 1 : 0);
  m_bConnected = true;
}

void COrbChat_ContactBrowser::FillPage() {
  if (!m_bConnected || !m_pProtocol || !m_pProtocol->GetLoginInfo()) return;
  CString status;
  status.Format(" 共 %d 条记录, 共 %d 页, 当前第 %d 页", m_nRecordCount, m_nPageCount, m_nCurrentPage);
  SetDlgItemText(IDC_PAGE_STATUS, status);
  const std::vector<ContactRow> rows =
      m_pager.ReadPage(static_cast<long>(m_nCurrentPage - 1) * kPageSize + 1, kPageSize);
  m_list.SetRedraw(FALSE);
  for (int i = 0; i < kPageSize; ++i)
    ShowRow(i, static_cast<size_t>(i) < rows.size() ? &rows[static_cast<size_t>(i)] : nullptr);
  m_list.SetRedraw(TRUE);
  m_list.Invalidate();
  m_list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

// A row of the page; an empty slot past the table's end shows four empty
// cells and carries an empty record.
void COrbChat_ContactBrowser::ShowRow(int index, const ContactRow* row) {
  InfoContactStru& record = *m_arrRows[static_cast<size_t>(index)];
  record = InfoContactStru{};
  CString number;
  if (row) {
    record.contactid = row->contactid;
    record.name = row->name;
    record.role = row->role;
    number.Format("%d", kPageSize * (m_nCurrentPage - 1) + index + 1);
  }
  CString icon = kTextStyle;
  if (row) icon.Format("role.%s", record.role.GetString());
  CString& shown = m_arrIcons[static_cast<size_t>(index)];
  if (shown != icon) {
    dsSetItemStyle(m_list.m_hWnd, static_cast<UINT_PTR>(index), 0, icon);
    shown = icon;
  }
  m_list.SetItemText(index, 1, number);
  m_list.SetItemText(index, 2, record.contactid);
  m_list.SetItemText(index, 3, record.name);
}

void COrbChat_ContactBrowser::OnFirstPage() {
  if (!m_bConnected) return;
  m_nCurrentPage = 1;
  FillPage();
}

void COrbChat_ContactBrowser::OnPrevPage() {
  if (!m_bConnected) return;
  if (m_nCurrentPage > 1) --m_nCurrentPage;
  FillPage();
}

void COrbChat_ContactBrowser::OnNextPage() {
  if (m_nCurrentPage < m_nPageCount) ++m_nCurrentPage;
  FillPage();
}

void COrbChat_ContactBrowser::OnLastPage() {
  if (!m_bConnected) return;
  m_nCurrentPage = m_nPageCount;
  FillPage();
}

void COrbChat_ContactBrowser::OnListDblClk(NMHDR* header, LRESULT* result) {
  *result = 0;
  const auto* activate = reinterpret_cast<const NMITEMACTIVATE*>(header);
  PickRow(m_list.HitTest(activate->ptAction));
}

void COrbChat_ContactBrowser::PickRow(int index) {
  if (index < 0 || index >= static_cast<int>(m_arrRows.size())) {
    Notify("你没有选中");
    EndDialog(IDCANCEL);
    return;
  }
  const InfoContactStru& record = *m_arrRows[static_cast<size_t>(index)];
  if (record.contactid.IsEmpty() || record.name.IsEmpty()) {
    Notify("选中内容为空");
    EndDialog(IDCANCEL);
    return;
  }
  COrbChat_SelectContactTag tags(this, m_pProtocol);
  if (tags.DoModal() != IDOK) {
    Notify("放弃选中内容 ");
    EndDialog(IDCANCEL);
    return;
  }
  m_pResult = std::make_unique<ContactChoice>(ContactChoice{record.contactid, record.name, record.role, tags.m_nSelTag});
  CString text;
  text.Format("\n选中内容 \n编号\t=  %s\r\n姓名\t=  %s\r\n角色\t=  %s\r\n分级\t=  %s(%d)\r\n",
              record.contactid.GetString(), record.name.GetString(), record.role.GetString(),
              tags.m_strSelName.GetString(), tags.m_nSelTag);
  Notify(text);
  EndDialog(IDOK);
}

void COrbChat_ContactBrowser::Notify(const char* text) {
  dsMessageBox(m_hWnd, text, "提示", MB_OK | MB_ICONEXCLAMATION);
}

void COrbChat_ContactBrowser::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  if (m_list.m_hWnd) LayoutControls();
}

void COrbChat_ContactBrowser::OnTimer(UINT_PTR id) { CDialog::OnTimer(id); }

void COrbChat_ContactBrowser::OnDestroy() {
  KillTimer(kTimerId);
  m_pager.Close();
  CDialog::OnDestroy();
}

// The list fills the dialog above a row of search fields and paging
// buttons; the status line sits below that row and the two buttons in the
// bottom right corner.
void COrbChat_ContactBrowser::LayoutControls() {
  CRect client;
  dsGetClientRect(m_hWnd, &client);
  const CRect add = GetDlgItem(IDOK)->GetWindowRect();
  const CRect label = GetDlgItem(IDC_SEARCH_ID_LABEL)->GetWindowRect();
  const int w = add.Width(), h = add.Height(), W = label.Width(), H = label.Height();
  const int l = client.left, t = client.top, r = client.right, b = client.bottom;
  const int y0 = b - 3 * h;
  m_list.MoveWindow(l, t + 8, r - l - l, y0 - t - 8);
  int x = l;
  const int row[] = {IDC_SEARCH_ID_LABEL, IDC_SEARCH_ID, IDC_SEARCH_NAME_LABEL, IDC_SEARCH_NAME, IDC_SEARCH};
  for (int id : row) {
    const bool isLabel = id == IDC_SEARCH_ID_LABEL || id == IDC_SEARCH_NAME_LABEL;
    const int width = isLabel ? W : 2 * W;
    GetDlgItem(id)->MoveWindow(x, isLabel ? y0 + 2 : y0, width, isLabel ? H : H + 4);
    x += width + 1;
  }
  x = r - 4;
  const int pages[] = {IDC_PAGE_LAST, IDC_PAGE_NEXT, IDC_PAGE_PREV, IDC_PAGE_FIRST};
  for (int id : pages) {
    x -= 2 * W;
    GetDlgItem(id)->MoveWindow(x, y0, 2 * W, H + 4);
    x -= 4;
  }
  CWnd* status = GetDlgItem(IDC_PAGE_STATUS);
  CClientDC dc(status);
  const CSelectObjectGuard font(dc.m_hDC, status->GetFont());
  const CSize extent = dc.GetTextExtent(status->GetWindowText());
  status->MoveWindow(l, y0 + H + 8, extent.cx, extent.cy);
  GetDlgItem(IDOK)->MoveWindow(r - 2 * w - 8, b - h - 2, w, h);
  GetDlgItem(IDCANCEL)->MoveWindow(r - w - 4, b - h - 2, w, h);
  Invalidate();
}
