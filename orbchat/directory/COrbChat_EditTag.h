#pragma once
// Asks for the name of a new tag or category. The text is handed back as
// entered (not trimmed); the tree that opened the dialog trims it and does
// the database work.
#include "CDialog.h"
#include "CEdit.h"
#include "CStatic.h"
#include "CString.h"

class COrbChat_EditTag : public CDialog {
 public:
  explicit COrbChat_EditTag(CWnd* parent);

  CString m_strText;  // the entered name, after OK

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  // An empty name is refused with a message and the dialog stays open.
  void OnOK() override;

 private:
  CEdit m_editName;
  CStatic m_picture;
};
