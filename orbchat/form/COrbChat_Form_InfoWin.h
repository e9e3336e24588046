#pragma once
// The right-hand pane of a conversation window (template 22006): a white
// child dialog inside the form's static 22046 with an (empty) title line and,
// below it, the members pane.
#include <memory>

#include "CBrush.h"
#include "CDialog.h"
#include "CStatic.h"
#include "CString.h"
#include "form/COrbChat_Form_Members.h"

class COrbChat_Mgr;

class COrbChat_Form_InfoWin : public CDialog {
 public:
  COrbChat_Form_InfoWin(CWnd* parent, COrbChat_Mgr* chatMgr);
  ~COrbChat_Form_InfoWin() override;

  // Refills the members pane.
  void SetMembers(const CString& list);
  void SetDisplayNameLookup(DisplayNameFn lookup);
  COrbChat_Form_Members* GetMembersPane() { return m_pMembers.get(); }

  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}

  // Members in declaration order.
  CBrush m_brWhite;
  int m_nTitleHeight = 24;                          // height of the title line, measured at initialisation
  std::unique_ptr<COrbChat_Form_Members> m_pMembers;  // owned
  COrbChat_Mgr* m_pChatMgr;                         // borrowed, may be null

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnSize(UINT type, int cx, int cy);
  BOOL OnEraseBkgnd(CDC* dc);
  HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT kind);
  DECLARE_MESSAGE_MAP()

 private:
  CStatic m_stcTitle;
  CStatic m_stcMembersHost;
  DisplayNameFn m_fnDisplayName;
};
