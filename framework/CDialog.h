#pragma once
// A dialog from a template in a given module's resources (a DLL passes its
// own instance handle, so it finds its own templates).
//
//  - Modal: DoModal runs the dialog in the framework's own modal loop (so
//    PreTranslateMessage works inside it) and returns the code given to
//    EndDialog, or -1 when the dialog could not be created. A test can answer
//    DoModal through Seams::SetDoModal without any window.
//  - Modeless: Create makes the window, owned by this object; DestroyWindow
//    or destroying the object ends it. OnOK/OnCancel of a modeless dialog only
//    hide it.
//
// OnInitDialog binds the controls of DoDataExchange (DDX_Control). A control
// id that the template lacks makes the dialog fail to open (DoModal returns
// -1, Create returns FALSE), with a message box naming the id and the reason
// in GetError().
#include <windows.h>

#include <functional>

#include "CDataExchange.h"
#include "CString.h"
#include "CWnd.h"
#include "FrameworkApi.h"

class ORBFW_API CDialog : public CWnd {
 public:
  using ShownFn = std::function<void(CDialog& dialog)>;

  CDialog(HINSTANCE resourceModule, UINT templateId, CWnd* parent = nullptr);
  ~CDialog() override;

  virtual INT_PTR DoModal();
  // The real modal run, bypassing the DoModal seam. When onShown is given it
  // runs inside the modal loop once the dialog is initialised and shown (a
  // test drives the dialog from there: set texts, click buttons).
  INT_PTR RunModal(ShownFn onShown = {});
  // Creates the modeless dialog; 0 and nullptr keep the constructor's values.
  BOOL Create(UINT templateId = 0, CWnd* parent = nullptr);
  void EndDialog(INT_PTR result);

  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange* dx);
  BOOL UpdateData(BOOL saveAndValidate = TRUE);
  BOOL PreTranslateMessage(MSG* msg) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Moves the focus to a control as the dialog manager does (default button
  // and edit selection follow).
  void GotoDlgCtrl(CWnd* control);

  UINT GetTemplateId() const { return m_nTemplateId; }
  HINSTANCE GetResourceModule() const { return m_hResourceModule; }
  CWnd* GetParentWnd() const { return m_pParentWnd; }
  bool IsModal() const { return m_bModal; }
  // Why the last DoModal or Create failed; empty after a success.
  const CString& GetError() const { return m_strError; }

  DECLARE_MESSAGE_MAP()

 private:
  friend class WindowRouting;
  HWND CreateFromTemplate(HWND owner);
  void ExecuteDlgInit();
  void FailToOpen(const CString& reason);

  HINSTANCE m_hResourceModule;
  UINT m_nTemplateId;
  CWnd* m_pParentWnd;
  bool m_bModal = false;
  bool m_bEndModal = false;
  bool m_bOpenFailed = false;
  bool m_bSkipDlgProcEcho = false;
  INT_PTR m_nModalResult = -1;
  ShownFn m_onShown;
  CString m_strError;
};
