#pragma once
// What the two tag selection dialogs share: the tags of one tag table listed
// in ascending tag number in a combo box, the first one selected, and OK
// handing back the chosen entry's number and name (-1 and "" when none is
// selected; a text typed into an editable field is never used).
#include <vector>

#include "CComboBox.h"
#include "CDialog.h"
#include "CString.h"

class COrbHttp_Protocol_Orb;

class CSelectTagDialog : public CDialog {
 public:
  CString m_strSelName;  // name of the chosen entry; empty until OK with a selection
  int m_nSelTag = -1;    // its tag number; -1 until OK with a selection
  COrbHttp_Protocol_Orb* m_pProtocol;
  std::vector<int> m_arrTags;  // one tag number per combo box entry, same order

 protected:
  CSelectTagDialog(UINT templateId, UINT comboId, const char* table, CWnd* parent, COrbHttp_Protocol_Orb* protocol);

  void DoDataExchange(CDataExchange* dx) override;
  // Skins, then lists the tags of the login's database; FALSE (the combo box
  // empty) without a session, a login record or a readable table.
  BOOL OnInitDialog() override;
  void OnOK() override;
  // Each dialog skins itself its own way.
  virtual void Skin() = 0;

  CComboBox m_comboTags;

 private:
  bool FillTags();
  UINT m_nComboId;
  const char* m_pszTable;
};
