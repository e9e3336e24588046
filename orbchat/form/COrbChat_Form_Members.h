#pragma once
// The members pane of a conversation window (template 22012): a white child
// dialog whose owner-drawn list box shows one entry per member, drawn by the
// skin from the entry's role icon and display name.
#include "CBrush.h"
#include "CDialog.h"
#include "CListBox.h"
#include "CString.h"
#include "form/MemberEntries.h"

class COrbChat_Mgr;

class COrbChat_Form_Members : public CDialog {
 public:
  COrbChat_Form_Members(CWnd* parent, COrbChat_Mgr* chatMgr);

  // Refills the list from a members text (ids separated by ","): role icon
  // from the id's first character (the manager's default role for an unknown
  // one), the manager's display name or else the masked id; selects entry 0.
  void FillMembers(const CString& list);
  // Members listed at most; a longer list ends with a line giving the count.
  static constexpr size_t kMaxShown = 500;
  // Where display names come from; without one every entry shows its masked id.
  void SetDisplayNameLookup(DisplayNameFn lookup) { m_fnDisplayName = std::move(lookup); }
  CListBox& GetList() { return m_list; }

  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}

  // Members in declaration order.
  CBrush m_brWhite;
  CListBox m_list;
  COrbChat_Mgr* m_pChatMgr;  // borrowed, may be null

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnSize(UINT type, int cx, int cy);
  BOOL OnEraseBkgnd(CDC* dc);
  HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT kind);
  DECLARE_MESSAGE_MAP()

 private:
  void AddEntry(const char* name, const char* icon);
  DisplayNameFn m_fnDisplayName;
};
