#include "CDialog.h"

#include <cstring>
#include <exception>
#include <utility>

#include "Seams.h"
#include "WindowRouting.h"

namespace {

// The dialog whose window is being created on this thread; it is bound to the
// window at the first message its dialog procedure receives (before
// WM_INITDIALOG when the template has a font or owner-drawn controls).
thread_local CDialog* t_pendingDialog = nullptr;

// Messages whose result a dialog procedure returns directly instead of
// through DWLP_MSGRESULT.
bool ReturnsDirectly(UINT message) {
  return (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) || message == WM_COMPAREITEM ||
         message == WM_VKEYTOITEM || message == WM_CHARTOITEM || message == WM_QUERYDRAGICON ||
         message == WM_INITDIALOG;
}

bool IsInputMessage(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

}  // namespace

CDialog* WindowRouting::SetPendingDialog(CDialog* dialog) { return std::exchange(t_pendingDialog, dialog); }

UINT WindowRouting::ModalShownMessage() {
  static const UINT message = ::RegisterWindowMessageA("OrbFramework.ModalShown");
  return message;
}

INT_PTR CALLBACK WindowRouting::DlgProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(handle));
  if (!dialog && t_pendingDialog) {
    dialog = std::exchange(t_pendingDialog, nullptr);
    Bind(*dialog, handle);
  }
  if (!dialog) return FALSE;
  // The call DefDlgProc makes back into this procedure while a handler asks
  // for the default processing: let DefDlgProc do its own work.
  if (dialog->m_bSkipDlgProcEcho) {
    dialog->m_bSkipDlgProcEcho = false;
    return FALSE;
  }
  const MSG saved = dialog->m_currentMsg;
  dialog->m_currentMsg = MSG{handle, message, wParam, lParam, 0, {0, 0}};
  LRESULT result = 0;
  bool handled = false;
  try {
    if (message == WM_INITDIALOG) {
      dialog->ExecuteDlgInit();
      result = dialog->OnInitDialog();
      handled = true;
    } else if (message == ModalShownMessage()) {
      CDialog::ShownFn shown = std::move(dialog->m_onShown);
      dialog->m_onShown = nullptr;
      if (shown) shown(*dialog);
      handled = true;
    } else {
      handled = dialog->OnWndMsg(message, wParam, lParam, &result);
    }
  } catch (const std::exception& e) {
    ReportException(e.what());
  } catch (...) {
    ReportException("unknown exception");
  }
  if (!IsBound(*dialog, handle)) return handled && ReturnsDirectly(message) ? static_cast<INT_PTR>(result) : FALSE;
  dialog->m_currentMsg = saved;
  if (message == WM_NCDESTROY) {
    dialog->m_bOwnsWindow = false;
    Unbind(*dialog);
    dialog->PostNcDestroy();
    return FALSE;
  }
  if (!handled) return FALSE;
  if (ReturnsDirectly(message)) return static_cast<INT_PTR>(result);
  ::SetWindowLongPtrA(handle, DWLP_MSGRESULT, result);
  return TRUE;
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, &CDialog::OnOK)
  ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(HINSTANCE resourceModule, UINT templateId, CWnd* parent)
    : m_hResourceModule(resourceModule), m_nTemplateId(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() = default;

HWND CDialog::CreateFromTemplate(HWND owner) {
  m_strError.Empty();
  m_bOpenFailed = false;
  WindowRouting::EnsureCommonControls();
  CDialog* outer = WindowRouting::SetPendingDialog(this);
  HWND handle = ::CreateDialogParamA(m_hResourceModule, MAKEINTRESOURCEA(m_nTemplateId), owner,
                                     &WindowRouting::DlgProc, reinterpret_cast<LPARAM>(this));
  WindowRouting::SetPendingDialog(outer);
  if (!handle && m_strError.IsEmpty())
    m_strError.Format("对话框模板 %u 无法从模块 %p 创建（错误 %lu）", m_nTemplateId,
                      static_cast<void*>(m_hResourceModule), ::GetLastError());
  return handle;
}

void CDialog::FailToOpen(const CString& reason) {
  m_bOpenFailed = true;
  m_strError = reason;
  OutputDebugStringA(reason);
  CString text;
  text.Format("窗口无法打开：%s", reason.GetString());
  Seams::ShowMessageBox(nullptr, text, "错误", MB_OK | MB_ICONERROR);
}

INT_PTR CDialog::DoModal() {
  if (Seams::DoModalFn answer = Seams::GetDoModal()) return answer(*this);
  return RunModal();
}

INT_PTR CDialog::RunModal(ShownFn onShown) {
  if (m_hWnd) return -1;
  HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
  HWND root = owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
  m_bModal = true;
  m_bEndModal = false;
  m_nModalResult = -1;
  m_onShown = std::move(onShown);
  if (!CreateFromTemplate(owner) || !m_hWnd) {
    m_bModal = false;
    m_onShown = nullptr;
    return -1;
  }
  m_bOwnsWindow = true;
  if (m_bOpenFailed) {
    DestroyWindow();
    m_bModal = false;
    m_onShown = nullptr;
    return -1;
  }
  const bool reenable = root && ::IsWindowEnabled(root);
  if (reenable) ::EnableWindow(root, FALSE);
  if (!m_bEndModal) {
    ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
    if (m_onShown) ::PostMessageA(m_hWnd, WindowRouting::ModalShownMessage(), 0, 0);
  }
  while (!m_bEndModal && m_hWnd) {
    MSG msg;
    const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      // The application is quitting: leave the quit message for the outer loop.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got == -1) break;
    if (!CWnd::WalkPreTranslateTree(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  // Give the owner back its input before this window goes, so activation
  // returns to it rather than to another application.
  if (reenable) ::EnableWindow(root, TRUE);
  if (m_hWnd) {
    if (root && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(root);
    DestroyWindow();
  }
  m_bModal = false;
  m_onShown = nullptr;
  return m_nModalResult;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
  if (m_hWnd) return FALSE;
  if (templateId) m_nTemplateId = templateId;
  if (parent) m_pParentWnd = parent;
  m_bModal = false;
  HWND handle = CreateFromTemplate(m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr);
  if (!handle || !m_hWnd) return FALSE;
  m_bOwnsWindow = true;
  if (m_bOpenFailed) {
    DestroyWindow();
    return FALSE;
  }
  return TRUE;
}

void CDialog::EndDialog(INT_PTR result) {
  if (m_bModal) {
    m_nModalResult = result;
    m_bEndModal = true;
    // Wake the modal loop if it is waiting for a message.
    if (m_hWnd) ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
  } else if (m_hWnd) {
    ::EndDialog(m_hWnd, result);
  }
}

// The template's dialog-init resource (type 240, same id) lists initial
// entries of combo and list boxes: per entry the control id, the 16-bit
// add-string code, the text's length with its terminating zero as a 32-bit
// number, then the text; a zero id ends the list. They are added before
// OnInitDialog, so the dialog's own code sees the controls filled.
void CDialog::ExecuteDlgInit() {
  constexpr WORD kListAddString16 = 0x0401, kComboAddString16 = 0x0403, kComboAddStringMfc = 0x1234;
  HRSRC info = ::FindResourceA(m_hResourceModule, MAKEINTRESOURCEA(m_nTemplateId), MAKEINTRESOURCEA(240));
  HGLOBAL loaded = info ? ::LoadResource(m_hResourceModule, info) : nullptr;
  const auto* data = static_cast<const BYTE*>(loaded ? ::LockResource(loaded) : nullptr);
  if (!data) return;
  const BYTE* end = data + ::SizeofResource(m_hResourceModule, info);
  while (end - data >= 8) {
    WORD id, code;
    DWORD length;
    std::memcpy(&id, data, sizeof id);
    std::memcpy(&code, data + 2, sizeof code);
    std::memcpy(&length, data + 4, sizeof length);
    data += 8;
    if (id == 0 || length > static_cast<DWORD>(end - data)) return;
    const char* text = reinterpret_cast<const char*>(data);
    const CString entry(text, static_cast<int>(::strnlen(text, length)));
    data += length;
    UINT message = code == kListAddString16 ? LB_ADDSTRING
                   : (code == kComboAddString16 || code == kComboAddStringMfc) ? CB_ADDSTRING
                                                                                : 0;
    if (message) ::SendDlgItemMessageA(m_hWnd, id, message, 0, reinterpret_cast<LPARAM>(entry.GetString()));
  }
}

BOOL CDialog::OnInitDialog() {
  if (!UpdateData(FALSE)) {
    FailToOpen(m_strError);
    if (m_bModal) EndDialog(-1);
    return FALSE;
  }
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
  if (!m_hWnd) return FALSE;
  CDataExchange dx(this, saveAndValidate);
  DoDataExchange(&dx);
  if (dx.m_bFailed) {
    m_strError = dx.m_strError;
    return FALSE;
  }
  return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
  if (!m_hWnd || !msg || !IsInputMessage(msg->message)) return FALSE;
  if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)) return FALSE;
  return ::IsDialogMessageA(m_hWnd, msg);
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!m_hWnd) return 0;
  m_bSkipDlgProcEcho = true;
  const LRESULT result = ::DefDlgProcA(m_hWnd, message, wParam, lParam);
  m_bSkipDlgProcEcho = false;
  return result;
}

void CDialog::GotoDlgCtrl(CWnd* control) {
  if (m_hWnd && control && control->m_hWnd) SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control->m_hWnd), TRUE);
}
