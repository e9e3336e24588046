#pragma once
// Data exchange between a dialog's controls and its members, run by
// CDialog::UpdateData: binding control objects to the template's controls
// (DDX_Control) and moving texts (DDX_Text). A control id the dialog lacks is
// recorded as a failure with its reason; UpdateData then returns FALSE.
#include <windows.h>

#include "CString.h"
#include "FrameworkApi.h"

class CDialog;
class CWnd;

class ORBFW_API CDataExchange {
 public:
  CDataExchange(CDialog* dialog, BOOL saveAndValidate);

  CDialog* m_pDlgWnd;
  BOOL m_bSaveAndValidate;
  bool m_bFailed = false;
  int m_nFailedId = 0;
  CString m_strError;

  // The control's handle, or nullptr after recording a failure.
  HWND PrepareCtrl(int id);
  void Fail(int id, const char* reason);
};

// Binds control to the dialog's control with this id (routes its messages
// through control's message map). Fails when the id is missing or the control
// object is already bound to another window.
ORBFW_API void DDX_Control(CDataExchange* dx, int id, CWnd& control);
// Copies the control's text into value (saving) or value into the control.
ORBFW_API void DDX_Text(CDataExchange* dx, int id, CString& value);
