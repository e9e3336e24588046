#include "directory/COrbChat_EditTag.h"

#include "OrbSkin.h"
#include "chat/ModuleHandle.h"
#include "resources/resource.h"

COrbChat_EditTag::COrbChat_EditTag(CWnd* parent) : CDialog(OrbChatModuleHandle(), IDD_EDIT_TAG, parent) {}

void COrbChat_EditTag::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_TAG_NAME, m_editName);
  DDX_Control(dx, IDC_TAG_PICTURE, m_picture);
}

BOOL COrbChat_EditTag::OnInitDialog() {
  if (!CDialog::OnInitDialog()) return FALSE;
  // The picture keeps its own look while the dialog's children are skinned.
  m_picture.SetProp(DS_NO_SKIN_PROPERTY, reinterpret_cast<HANDLE>(1));
  dsSkinWindow(m_hWnd, DSK_DIALOG, nullptr, 1);
  m_picture.RemoveProp(DS_NO_SKIN_PROPERTY);
  m_editName.SetWindowText(m_strText);
  return TRUE;
}

void COrbChat_EditTag::OnOK() {
  m_strText = m_editName.GetWindowText();
  if (m_strText.IsEmpty()) {
    dsMessageBox(m_hWnd, "标签内容不能为空", "提示", MB_OK | MB_ICONERROR);
    m_editName.SetFocus();
    return;
  }
  CDialog::OnOK();
}
