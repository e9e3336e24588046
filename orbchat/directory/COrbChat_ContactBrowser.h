#pragma once
// Pages through the whole ContactList, 100 contacts at a time, and lets the
// user pick one by double-clicking it and then choose its tag. The database
// stays connected while the dialog lives. After IDOK the caller reads the
// choice with GetResult (none when "添加" was pressed without a pick).
#include <memory>
#include <vector>

#include "CDialog.h"
#include "CListCtrl.h"
#include "CString.h"
#include "directory/CChatDirectory.h"
#include "directory/InfoContactStru.h"

class COrbChat_Mgr;
class COrbHttp_Protocol_Orb;

// The contact and tag picked in the contact browser.
struct ContactChoice {
  CString contactid;
  CString name;
  CString role;
  int tag = -1;
};

class COrbChat_ContactBrowser : public CDialog {
 public:
  static constexpr int kPageSize = 100;

  COrbChat_ContactBrowser(CWnd* parent, COrbHttp_Protocol_Orb* protocol, COrbChat_Mgr* chatMgr);
  ~COrbChat_ContactBrowser() override;

  // The picked contact and tag; null unless a pick ended the dialog.
  const ContactChoice* GetResult() const { return m_pResult.get(); }

  // Paging commands (the four buttons).
  void OnFirstPage();
  void OnPrevPage();
  void OnNextPage();
  void OnLastPage();
  // Picks the list row index (-1: none) as a double click on it does.
  void PickRow(int index);

  int GetPageCount() const { return m_nPageCount; }
  int GetCurrentPage() const { return m_nCurrentPage; }
  int GetRecordCount() const { return m_nRecordCount; }
  bool IsConnected() const { return m_bConnected; }
  const InfoContactStru& RowRecord(int index) const { return *m_arrRows[static_cast<size_t>(index)]; }

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  void OnSize(UINT type, int cx, int cy);
  void OnTimer(UINT_PTR id);
  void OnDestroy();
  void OnListDblClk(NMHDR* header, LRESULT* result);

  DECLARE_MESSAGE_MAP()

 private:
  void SetUpList();
  void OpenContacts();
  void FillPage();
  void ShowRow(int index, const ContactRow* row);
  void LayoutControls();
  void Notify(const char* text);

  COrbHttp_Protocol_Orb* m_pProtocol;
  COrbChat_Mgr* m_pChatMgr;  // handed over by the tree; not used here
  std::unique_ptr<ContactChoice> m_pResult;
  bool m_bConnected = false;
  int m_nPageCount = 0;
  int m_nCurrentPage = 1;
  int m_nRecordCount = 0;
  std::vector<std::unique_ptr<InfoContactStru>> m_arrRows;
  std::vector<CString> m_arrIcons;  // the icon style each row's first cell shows
  CContactPager m_pager;
  CListCtrl m_list;
};
