#include "CMsgBrowserDlg.h"

#include <richedit.h>

#include <algorithm>
#include <fstream>

#include "CFileDialog.h"
#include "CodePage.h"
#include "HistoryHtml.h"
#include "MsgBrowserModule.h"
#include "Seams.h"
#include "resource.h"

namespace {

constexpr UINT_PTR kScrollTimer = 1;
// How often the view is checked for having been scrolled to its top.
constexpr UINT kScrollCheckMs = 200;
constexpr char kCaption[] = "消息记录";
constexpr int kMargin = 8;
constexpr int kListWidth = 380;
constexpr int kTimeWidth = 122;
constexpr int kCountWidth = 52;

// What the user is told about a store that cannot be shown.
CString ProblemText(COrbMsgStore::Failure failure, const CString& path) {
  const char* reason = "无法读取消息记录文件。";
  switch (failure) {
    case COrbMsgStore::Failure::NotAStore: reason = "这个文件不是消息记录文件，无法查看。"; break;
    case COrbMsgStore::Failure::Newer: reason = "消息记录文件由较新版本的程序写入，本程序无法读取，请升级后再查看。"; break;
    case COrbMsgStore::Failure::Locked: reason = "消息记录文件正被其他程序占用，请稍后再试。"; break;
    case COrbMsgStore::Failure::Damaged: reason = "消息记录文件已损坏，无法读取。"; break;
    default: break;
  }
  return CString(reason) + "\r\n" + path;
}

}  // namespace

BEGIN_MESSAGE_MAP(CMsgBrowserDlg, CDialog)
  ON_WM_SIZE()
  ON_WM_TIMER()
  ON_WM_GETMINMAXINFO()
  ON_BN_CLICKED(IDC_BROWSER_CLEAR, &CMsgBrowserDlg::OnClear)
  ON_BN_CLICKED(IDC_BROWSER_EXPORT, &CMsgBrowserDlg::OnExport)
  ON_NOTIFY(LVN_GETDISPINFOA, IDC_BROWSER_THREADS, &CMsgBrowserDlg::OnGetDispInfo)
  ON_NOTIFY(LVN_ITEMCHANGED, IDC_BROWSER_THREADS, &CMsgBrowserDlg::OnItemChanged)
END_MESSAGE_MAP()

CMsgBrowserDlg::CMsgBrowserDlg(const CString& path, const CString& searchText, CWnd* parent)
    : CDialog(MsgBrowserModule(), IDD_MSG_BROWSER, parent), m_strPath(path), m_strInitialSearch(searchText) {}

CMsgBrowserDlg::~CMsgBrowserDlg() = default;

bool CMsgBrowserDlg::OpenStore(CString& problem) {
  m_threadPages.clear();
  m_conversationNames.clear();
  m_nThreadCount = 0;
  m_bStoreOpen = m_store.OpenReadOnly(m_strPath);
  if (m_bStoreOpen) {
    m_nThreadCount = m_store.CountThreads();
    if (m_nThreadCount >= 0) return true;
    m_nThreadCount = 0;
    m_bStoreOpen = false;
    m_store.Close();
  }
  const COrbMsgStore::Failure failure = m_store.GetLastFailure();
  // A user who has not chatted yet has an empty (or no) history, not a fault.
  if (failure == COrbMsgStore::Failure::Missing || failure == COrbMsgStore::Failure::Empty) return true;
  problem = ProblemText(failure, m_strPath);
  return false;
}

void CMsgBrowserDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_BROWSER_SEARCH_EDIT, m_editSearch);
  DDX_Control(dx, IDC_BROWSER_THREADS, m_listThreads);
  DDX_Control(dx, IDC_BROWSER_VIEW_FRAME, m_frameView);
  DDX_Control(dx, IDC_BROWSER_STATUS, m_status);
}

BOOL CMsgBrowserDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_listThreads.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  m_listThreads.InsertColumn(0, "会话", LVCFMT_LEFT, 160);
  m_listThreads.InsertColumn(1, "最后时间", LVCFMT_LEFT, kTimeWidth);
  m_listThreads.InsertColumn(2, "消息数", LVCFMT_RIGHT, kCountWidth);
  m_listThreads.SendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(m_nThreadCount), LVSICF_NOINVALIDATEALL);
  CRect frame = m_frameView.GetWindowRect();
  ScreenToClient(&frame);
  m_view.Create(frame, this, IDC_BROWSER_VIEW);
  m_view.SetEditMode(0);
  m_editSearch.SendMessage(EM_LIMITTEXT, 200);
  CRect client = GetClientRect();
  Layout(client.Width(), client.Height());
  if (!m_strInitialSearch.IsEmpty()) {
    m_editSearch.SetWindowText(m_strInitialSearch);
    Search(m_strInitialSearch);
  } else if (m_nThreadCount > 0) {
    m_listThreads.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SelectThread(0);
  }
  UpdateStatus();
  SetTimer(kScrollTimer, kScrollCheckMs);
  m_editSearch.SetFocus();
  return FALSE;
}

void CMsgBrowserDlg::OnOK() {
  CString text;
  m_editSearch.GetWindowText(text);
  Search(text);
}

void CMsgBrowserDlg::OnClear() {
  m_editSearch.SetWindowText("");
  ClearSearch();
}

void CMsgBrowserDlg::Layout(int cx, int cy) {
  if (!m_view.GetSafeHwnd()) return;
  CRect search = m_editSearch.GetWindowRect();
  ScreenToClient(&search);
  const int top = search.bottom + kMargin / 2;
  const int statusHeight = 18;
  const int bottom = cy - kMargin - statusHeight - 4;
  const int listWidth = std::min(kListWidth, std::max(120, cx / 3));
  m_listThreads.MoveWindow(kMargin, top, listWidth, std::max(40, bottom - top));
  // The conversation column takes what the time and count leave.
  const int nameWidth = std::max(60, listWidth - kTimeWidth - kCountWidth - GetSystemMetrics(SM_CXVSCROLL) - 6);
  m_listThreads.SendMessage(LVM_SETCOLUMNWIDTH, 0, nameWidth);
  m_view.MoveWindow(kMargin * 2 + listWidth, top, std::max(80, cx - listWidth - kMargin * 3), std::max(40, bottom - top));
  m_status.MoveWindow(kMargin, cy - kMargin - statusHeight, std::max(40, cx - 2 * kMargin), statusHeight);
  if (CWnd* close = GetDlgItem(IDCANCEL)) {
    CRect button = close->GetWindowRect();
    ScreenToClient(&button);
    close->MoveWindow(cx - kMargin - button.Width(), button.top, button.Width(), button.Height());
  }
  Invalidate(FALSE);
}

void CMsgBrowserDlg::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  if (type != SIZE_MINIMIZED) Layout(cx, cy);
}

void CMsgBrowserDlg::OnGetMinMaxInfo(MINMAXINFO* info) {
  info->ptMinTrackSize.x = 560;
  info->ptMinTrackSize.y = 320;
}

// The view sends no notice of its own scrolling that works alike everywhere,
// so its position is looked at a few times a second: at the top, the next
// older page comes in.
void CMsgBrowserDlg::OnTimer(UINT_PTR id) {
  if (id != kScrollTimer) {
    CDialog::OnTimer(id);
    return;
  }
  if (!m_bHasOlder || !m_view.GetSafeHwnd()) return;
  POINT position{0, 0};
  m_view.SendMessage(EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&position));
  if (position.y <= 0) LoadOlderPage();
}

const InfoThreadSummary* CMsgBrowserDlg::ThreadAt(int index) {
  if (!m_bStoreOpen || index < 0 || index >= m_nThreadCount) return nullptr;
  const int page = index / kThreadPageSize;
  auto found = m_threadPages.find(page);
  if (found == m_threadPages.end()) {
    std::vector<InfoThreadSummary> threads;
    if (!m_store.ListThreads(page * kThreadPageSize, kThreadPageSize, threads)) return nullptr;
    found = m_threadPages.emplace(page, std::move(threads)).first;
  }
  const size_t at = static_cast<size_t>(index % kThreadPageSize);
  return at < found->second.size() ? &found->second[at] : nullptr;
}

// The names of the people who wrote in it; the member list when nobody's name
// is known.
CString CMsgBrowserDlg::ConversationName(const InfoThreadSummary& thread) const {
  if (!thread.m_strNames.IsEmpty()) return thread.m_strNames;
  if (!thread.m_strMembers.IsEmpty()) return thread.m_strMembers;
  return thread.m_strThreadId;
}

CString CMsgBrowserDlg::ConversationOf(const CString& threadId) {
  auto found = m_conversationNames.find(threadId.Str());
  if (found != m_conversationNames.end()) return found->second;
  InfoThreadSummary thread;
  CString name = m_store.GetThread(threadId, thread) ? ConversationName(thread) : threadId;
  m_conversationNames.emplace(threadId.Str(), name);
  return name;
}

CString CMsgBrowserDlg::ThreadCellText(int index, int column) {
  const InfoThreadSummary* thread = ThreadAt(index);
  if (!thread) return "";
  switch (column) {
    case 0: return ConversationName(*thread);
    case 1: return thread->m_strLastStoredAt;
    default: {
      CString count;
      count.Format("%d", thread->m_nCount);
      return count;
    }
  }
}

void CMsgBrowserDlg::OnGetDispInfo(NMHDR* header, LRESULT* result) {
  *result = 0;
  auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
  if (!(info->item.mask & LVIF_TEXT) || !info->item.pszText || info->item.cchTextMax <= 0) return;
  const CString text = ThreadCellText(info->item.iItem, info->item.iSubItem);
  lstrcpynA(info->item.pszText, text, info->item.cchTextMax);
}

void CMsgBrowserDlg::OnItemChanged(NMHDR* header, LRESULT* result) {
  *result = 0;
  const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
  const bool selected = (change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED);
  if (selected && change->iItem != m_nThreadIndex) SelectThread(change->iItem);
}

void CMsgBrowserDlg::SelectThread(int index) {
  const InfoThreadSummary* thread = ThreadAt(index);
  if (!thread) return;
  m_nThreadIndex = index;
  m_strThreadId = thread->m_strThreadId;
  m_strThreadName = ConversationName(*thread);
  m_nThreadMessages = thread->m_nCount;
  m_mode = Mode::Thread;
  if (m_listThreads.GetNextItem(-1, LVNI_SELECTED) != index) {
    m_listThreads.SetItemState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_listThreads.EnsureVisible(index, FALSE);
  }
  ShowFirstPage();
}

void CMsgBrowserDlg::Search(const CString& text) {
  CString word = text;
  word.Trim();
  if (word.IsEmpty()) {
    ClearSearch();
    return;
  }
  m_strSearch = word;
  m_nHits = m_bStoreOpen ? m_store.CountSearch(word) : 0;
  if (m_nHits < 0) {
    ReportReadFailure();
    m_nHits = 0;
  }
  m_mode = Mode::SearchHits;
  ShowFirstPage();
}

void CMsgBrowserDlg::ClearSearch() {
  m_strSearch.Empty();
  m_nHits = 0;
  if (m_nThreadIndex >= 0) {
    SelectThread(m_nThreadIndex);
  } else {
    m_mode = Mode::Nothing;
    ShowFirstPage();
  }
}

bool CMsgBrowserDlg::ReadOlder(std::vector<InfoStoredMsg>& page) {
  page.clear();
  if (!m_bStoreOpen) return true;
  if (m_mode == Mode::Thread) return m_store.ReadThreadBefore(m_strThreadId, m_nOldestId, kPageSize, page);
  if (m_mode == Mode::SearchHits) return m_store.SearchBefore(m_strSearch, m_nOldestId, kPageSize, page);
  return true;
}

// The page's records oldest first, as fragments of the view.
CString CMsgBrowserDlg::PageHtml(const std::vector<InfoStoredMsg>& newestFirst) {
  const HistoryHtml::MhtToHtmlFn mhtToHtml = [this](const CString& mht) { return m_view.MhtToHtml(mht); };
  CString html;
  for (auto row = newestFirst.rbegin(); row != newestFirst.rend(); ++row) {
    const CString conversation = m_mode == Mode::SearchHits ? ConversationOf(row->m_msg.thread_id) : CString();
    html += HistoryHtml::RecordFragment(*row, conversation, m_strSearch, mhtToHtml);
  }
  return html;
}

void CMsgBrowserDlg::ShowFirstPage() {
  m_nOldestId = 0;
  m_nShown = 0;
  std::vector<InfoStoredMsg> page;
  if (!ReadOlder(page)) ReportReadFailure();
  m_bHasOlder = page.size() == static_cast<size_t>(kPageSize);
  if (!page.empty()) m_nOldestId = page.back().m_nId;
  m_nShown = static_cast<int>(page.size());
  m_view.SetRedraw(FALSE);
  m_view.SetHtml(PageHtml(page));
  m_view.SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
  m_view.SetRedraw(TRUE);
  m_view.Invalidate();
  GetDlgItem(IDC_BROWSER_EXPORT)->EnableWindow(m_nThreadIndex >= 0);
  UpdateStatus();
}

bool CMsgBrowserDlg::LoadOlderPage() {
  if (!m_bHasOlder) return false;
  std::vector<InfoStoredMsg> page;
  if (!ReadOlder(page)) {
    ReportReadFailure();
    m_bHasOlder = false;
    return false;
  }
  m_bHasOlder = page.size() == static_cast<size_t>(kPageSize);
  if (page.empty()) {
    UpdateStatus();
    return false;
  }
  m_nOldestId = page.back().m_nId;
  m_nShown += static_cast<int>(page.size());
  // The new page goes in above; the view is then scrolled down by its height
  // so that the record the reader looked at stays where it was.
  GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, 1200};
  POINT before{0, 0};
  m_view.SendMessage(EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&before));
  const LRESULT oldLength = m_view.SendMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
  m_view.SetRedraw(FALSE);
  m_view.SendMessage(EM_SETSEL, 0, 0);
  m_view.PasteHTMLAtCurrentSelection(PageHtml(page), TRUE);
  const LRESULT newLength = m_view.SendMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
  POINTL start{0, 0};
  POINT now{0, 0};
  m_view.SendMessage(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&start), newLength - oldLength);
  m_view.SendMessage(EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&now));
  POINT keep{before.x, before.y + start.y + now.y};
  m_view.SendMessage(EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&keep));
  m_view.SetRedraw(TRUE);
  m_view.Invalidate();
  UpdateStatus();
  return true;
}

bool CMsgBrowserDlg::ExportTo(const CString& path) {
  if (!m_bStoreOpen || m_nThreadIndex < 0 || m_strThreadId.IsEmpty()) return false;
  std::vector<InfoStoredMsg> all;
  std::vector<InfoStoredMsg> page;
  long long before = 0;
  do {
    if (!m_store.ReadThreadBefore(m_strThreadId, before, 500, page)) return false;
    all.insert(all.end(), page.begin(), page.end());
    if (!page.empty()) before = page.back().m_nId;
  } while (page.size() == 500);
  std::reverse(all.begin(), all.end());
  const CString html = HistoryHtml::ExportPage("消息记录 - " + m_strThreadName, all);
  // Written beside the target first, then put in its place: a failed write
  // never leaves half a file where an old one was.
  const std::wstring target = CodePage::AnsiToWide(path);
  const std::wstring partial = target + L".part";
  {
    std::ofstream file(partial.c_str(), std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file.write(html.GetString(), html.GetLength());
    file.close();
    if (!file) {
      DeleteFileW(partial.c_str());
      return false;
    }
  }
  if (!MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileW(partial.c_str());
    return false;
  }
  return true;
}

void CMsgBrowserDlg::OnExport() {
  if (m_nThreadIndex < 0) return;
  // A file name from the conversation's name, without the characters a file
  // name cannot hold.
  CString name = m_strThreadName.Left(60);
  for (const char* bad : {"\\", "/", ":", "*", "?", "\"", "<", ">", "|"}) name.Replace(bad, "_");
  if (name.IsEmpty()) name = "消息记录";
  CFileDialog dialog(FALSE, "html", name + ".html", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST,
                     "网页文件 (*.html)|*.html;*.htm|所有文件 (*.*)|*.*||", this);
  if (dialog.DoModal() != IDOK) return;
  const CString path = dialog.GetPathName();
  if (ExportTo(path)) {
    Seams::ShowMessageBox(m_hWnd, "已将会话导出到：\r\n" + path, kCaption, MB_OK | MB_ICONINFORMATION);
  } else {
    Seams::ShowMessageBox(m_hWnd, "导出失败，无法写入文件：\r\n" + path, kCaption, MB_OK | MB_ICONERROR);
  }
}

void CMsgBrowserDlg::ReportReadFailure() {
  m_strProblem = ProblemText(m_store.GetLastFailure(), m_strPath);
}

CString CMsgBrowserDlg::GetStatusText() const {
  CString text;
  if (!m_strProblem.IsEmpty()) {
    text = m_strProblem;
    text.Replace("\r\n", " ");
    return text;
  }
  if (!m_bStoreOpen || m_nThreadCount == 0) return "还没有消息记录。";
  const char* more = m_bHasOlder ? "，向上滚动查看更早的消息" : "";
  if (m_mode == Mode::SearchHits) {
    if (m_nHits == 0) {
      text.Format("没有找到包含“%s”的消息。", m_strSearch.GetString());
    } else {
      text.Format("找到 %d 条包含“%s”的消息，已显示最近的 %d 条%s。", m_nHits, m_strSearch.GetString(), m_nShown, more);
    }
    return text;
  }
  if (m_mode == Mode::Thread) {
    text.Format("共 %d 个会话。会话“%s”共 %d 条消息，已显示最近的 %d 条%s。", m_nThreadCount, m_strThreadName.GetString(),
                m_nThreadMessages, m_nShown, more);
    if (!m_strSearch.IsEmpty()) text.AppendFormat("“%s”已用黄色标出。", m_strSearch.GetString());
    return text;
  }
  text.Format("共 %d 个会话。", m_nThreadCount);
  return text;
}

void CMsgBrowserDlg::UpdateStatus() {
  if (m_status.GetSafeHwnd()) m_status.SetWindowText(GetStatusText());
}
