#include "directory/COrbChat_SetMyAlias.h"

#include "OrbSkin.h"
#include "chat/ModuleHandle.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(COrbChat_SetMyAlias, CDialog)
  ON_WM_SIZE()
END_MESSAGE_MAP()

COrbChat_SetMyAlias::COrbChat_SetMyAlias() : CDialog(OrbChatModuleHandle(), IDD_SET_MY_ALIAS, nullptr) {}

void COrbChat_SetMyAlias::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_ALIAS_EDIT, m_editAlias);
}

BOOL COrbChat_SetMyAlias::OnInitDialog() {
  if (!CDialog::OnInitDialog()) return FALSE;
  dsSkinWindow(m_hWnd, DSK_DIALOG, nullptr, 1);
  dsSkinWindow(m_editAlias.GetSafeHwnd(), DSK_EDIT, nullptr, 0);
  ShowPreset();
  return TRUE;
}

void COrbChat_SetMyAlias::ShowPreset() {
  if (m_editAlias.GetSafeHwnd() && m_editAlias.GetWindowText() != m_strAlias) m_editAlias.SetWindowText(m_strAlias);
}

void COrbChat_SetMyAlias::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  ShowPreset();
}

void COrbChat_SetMyAlias::OnOK() {
  m_strAlias = m_editAlias.GetWindowText();
  CDialog::OnOK();
}
