#include "directory/COrbChat_ReNameDlg.h"

#include "OrbSkin.h"
#include "chat/ModuleHandle.h"
#include "resources/resource.h"

COrbChat_ReNameDlg::COrbChat_ReNameDlg(CWnd* parent, const char* text)
    : CDialog(OrbChatModuleHandle(), IDD_RENAME, parent), m_strText(text ? text : "") {}

void COrbChat_ReNameDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_RENAME_TEXT, m_editText);
  DDX_Control(dx, IDC_RENAME_LABEL, m_label);
}

BOOL COrbChat_ReNameDlg::OnInitDialog() {
  if (!CDialog::OnInitDialog()) return FALSE;
  dsSkinWindow(m_hWnd, DSK_DIALOG, nullptr, 1);
  m_editText.SetWindowText(m_strText);
  if (!m_strCaption.IsEmpty()) SetWindowText(m_strCaption);
  if (!m_strLabel.IsEmpty()) m_label.SetWindowText(m_strLabel);
  return TRUE;
}

void COrbChat_ReNameDlg::OnOK() {
  m_strText = m_editText.GetWindowText();
  CDialog::OnOK();
}
