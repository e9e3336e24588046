#pragma once
// The history viewer's window: the conversations of a message store on the
// left (a virtual list that reads the store's thread summary a page at a
// time), the chosen conversation in an HTML view on the right (newest page
// first; scrolling to the top brings the next older page in above), a search
// over the text of every message with the hits marked, and an export of the
// chosen conversation to a web page.
//
//   CMsgBrowserDlg dialog(path, "", owner);
//   CString problem;
//   if (!dialog.OpenStore(problem)) { /* tell the user problem */ }
//   else dialog.DoModal();
//
// The public operations below are what the buttons and the list do; tests and
// the demo's script call them too.
#include <map>
#include <string>
#include <memory>
#include <vector>

#include "CDialog.h"
#include "CEdit.h"
#include "CHtmlEdit.h"
#include "CListCtrl.h"
#include "COrbMsgStore.h"
#include "CStatic.h"
#include "CString.h"
#include "OrbMsgBrowserApi.h"

class ORBMSGBROWSER_API CMsgBrowserDlg : public CDialog {
 public:
  // Records read per page of the view, threads per page of the list.
  static constexpr int kPageSize = 30;
  static constexpr int kThreadPageSize = 100;

  CMsgBrowserDlg(const CString& path, const CString& searchText, CWnd* parent);
  ~CMsgBrowserDlg() override;

  // Opens the store for reading. A missing or empty file is an empty history
  // (true); a file that cannot be shown gives false and the reason, in words
  // for the user, in problem.
  bool OpenStore(CString& problem);

  // Shows the conversation at index of the list (most recent first): its
  // newest page, scrolled to the end, the search word (if any) marked.
  void SelectThread(int index);
  // Searches the text of every message (blanks around text ignored); an
  // empty text shows the conversations without a search again. The view
  // lists the newest hits of all conversations.
  void Search(const CString& text);
  void ClearSearch();
  // Puts the next older page of what the view shows above it, keeping what
  // the reader looks at in place; false when there is nothing older.
  bool LoadOlderPage();
  // Writes the chosen conversation, oldest first, to a web page at path;
  // false when no conversation is chosen or the file cannot be written (an
  // existing file is then left as it was).
  bool ExportTo(const CString& path);

  const CString& GetPath() const { return m_strPath; }
  int GetThreadCount() const { return m_nThreadCount; }
  int GetShownCount() const { return m_nShown; }
  bool HasOlder() const { return m_bHasOlder; }
  CString GetStatusText() const;
  const CString& GetSearchText() const { return m_strSearch; }
  CHtmlEdit& View() { return m_view; }
  CListCtrl& ThreadList() { return m_listThreads; }
  // The text of a list cell, as the list shows it.
  CString ThreadCellText(int index, int column);

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  // The default button searches; the dialog closes with Cancel only.
  void OnOK() override;
  void OnSize(UINT type, int cx, int cy);
  void OnTimer(UINT_PTR id);
  void OnGetMinMaxInfo(MINMAXINFO* info);
  void OnClear();
  void OnExport();
  void OnGetDispInfo(NMHDR* header, LRESULT* result);
  void OnItemChanged(NMHDR* header, LRESULT* result);

  DECLARE_MESSAGE_MAP()

 private:
  enum class Mode { Nothing, Thread, SearchHits };

  const InfoThreadSummary* ThreadAt(int index);
  CString ConversationName(const InfoThreadSummary& thread) const;
  CString ConversationOf(const CString& threadId);
  // Reads the page of records older than m_nOldestId for the current mode.
  bool ReadOlder(std::vector<InfoStoredMsg>& page);
  CString PageHtml(const std::vector<InfoStoredMsg>& newestFirst);
  void ShowFirstPage();
  void Layout(int cx, int cy);
  void UpdateStatus();
  void ReportReadFailure();

  CString m_strPath;
  CString m_strInitialSearch;
  COrbMsgStore m_store;
  bool m_bStoreOpen = false;
  int m_nThreadCount = 0;
  std::map<int, std::vector<InfoThreadSummary>> m_threadPages;
  std::map<std::string, CString> m_conversationNames;

  Mode m_mode = Mode::Nothing;
  int m_nThreadIndex = -1;
  CString m_strThreadId;
  CString m_strThreadName;
  int m_nThreadMessages = 0;
  CString m_strSearch;
  int m_nHits = 0;
  long long m_nOldestId = 0;
  bool m_bHasOlder = false;
  int m_nShown = 0;
  CString m_strProblem;

  CEdit m_editSearch;
  CListCtrl m_listThreads;
  CStatic m_frameView;
  CStatic m_status;
  CHtmlEdit m_view;
};
