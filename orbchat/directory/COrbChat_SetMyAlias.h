#pragma once
// Asks for the alias under which the user applies to join a community. The
// caller puts the preset into m_strAlias before running the dialog and reads
// the entered alias, exactly as typed (blanks kept), with GetAlias after OK.
#include "CDialog.h"
#include "CEdit.h"
#include "CString.h"

class COrbChat_SetMyAlias : public CDialog {
 public:
  // Made without a parent window, as the join command asks it.
  COrbChat_SetMyAlias();

  CString GetAlias() const { return m_strAlias; }

  CString m_strAlias;  // the preset on entry, the entered alias after OK

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  // The preset is put into the edit whenever the window's size changes and
  // the edit shows something else; at initialisation as well, so it is there
  // when the dialog first shows.
  void OnSize(UINT type, int cx, int cy);

  DECLARE_MESSAGE_MAP()

 private:
  void ShowPreset();
  CEdit m_editAlias;
};
