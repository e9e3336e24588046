#include "CDataExchange.h"

#include "CDialog.h"

CDataExchange::CDataExchange(CDialog* dialog, BOOL saveAndValidate)
    : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

HWND CDataExchange::PrepareCtrl(int id) {
  HWND control = m_pDlgWnd && m_pDlgWnd->m_hWnd ? ::GetDlgItem(m_pDlgWnd->m_hWnd, id) : nullptr;
  if (!control) Fail(id, "没有这个控件");
  return control;
}

void CDataExchange::Fail(int id, const char* reason) {
  // The first failure is the one reported; later ones follow from it.
  if (m_bFailed) return;
  m_bFailed = true;
  m_nFailedId = id;
  m_strError.Format("对话框 %u 的控件 %d：%s", m_pDlgWnd ? m_pDlgWnd->GetTemplateId() : 0u, id,
                    reason ? reason : "");
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
  HWND wanted = dx->m_pDlgWnd && dx->m_pDlgWnd->m_hWnd ? ::GetDlgItem(dx->m_pDlgWnd->m_hWnd, id) : nullptr;
  if (control.m_hWnd) {
    // Already bound: fine when it is this control (a later UpdateData).
    if (control.m_hWnd != wanted) dx->Fail(id, "控件对象已绑定到另一个窗口");
    return;
  }
  HWND handle = dx->PrepareCtrl(id);
  if (handle && !control.SubclassWindow(handle)) dx->Fail(id, "控件已由另一个对象接管");
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
  HWND handle = dx->PrepareCtrl(id);
  if (!handle) return;
  if (dx->m_bSaveAndValidate) {
    const int length = ::GetWindowTextLengthA(handle);
    char* buffer = value.GetBufferSetLength(length + 1);
    const int copied = length > 0 ? ::GetWindowTextA(handle, buffer, length + 1) : 0;
    value.ReleaseBuffer(copied);
  } else {
    ::SetWindowTextA(handle, value);
  }
}
