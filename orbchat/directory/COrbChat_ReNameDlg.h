#pragma once
// Asks for one line of text: a new name for a tag, a category or a group,
// or a contact's remark. The caller chooses the caption and the label and
// does the database work; an empty text is a valid answer.
#include "CDialog.h"
#include "CEdit.h"
#include "CStatic.h"
#include "CString.h"

class COrbChat_ReNameDlg : public CDialog {
 public:
  COrbChat_ReNameDlg(CWnd* parent, const char* text);

  // Replace the template's caption and label when not empty.
  void SetCaption(const char* caption) { m_strCaption = caption ? caption : ""; }
  void SetLabel(const char* label) { m_strLabel = label ? label : ""; }

  CString m_strText;  // the initial text; the entered text after OK
  CString m_strCaption;
  CString m_strLabel;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  CEdit m_editText;
  CStatic m_label;
};
