#include "CButton.h"

void CButton::Click() {
  if (!m_hWnd || !::IsWindowEnabled(m_hWnd)) return;
  switch (GetButtonStyle() & BS_TYPEMASK) {
    case BS_AUTOCHECKBOX:
      SetCheck(GetCheck() == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
      break;
    case BS_AUTORADIOBUTTON:
      SetCheck(BST_CHECKED);
      break;
    default:
      break;
  }
  HWND parent = ::GetParent(m_hWnd);
  if (parent)
    ::SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED), reinterpret_cast<LPARAM>(m_hWnd));
}

CButton::~CButton() = default;
