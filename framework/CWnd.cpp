#include "CWnd.h"

#include <commctrl.h>

#include <exception>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "Seams.h"
#include "WindowRouting.h"

namespace {

// Name of the property that keeps a subclassed window's previous procedure,
// so that its messages still reach it if the object is gone and the
// procedure could not be put back (someone subclassed the window after us).
const char kSuperProp[] = "OrbFramework.SuperProc";
const char kWindowClass[] = "OrbFrameworkWindow";

struct HandleMaps {
  std::mutex lock;
  std::unordered_map<HWND, CWnd*> permanent;
  std::unordered_map<HWND, std::unique_ptr<CWnd>> temporary;
  unsigned insertionsSincePurge = 0;
};

HandleMaps& Maps() {
  static HandleMaps maps;
  return maps;
}

// The object whose window of the framework's own class is being created on
// this thread; it is bound to the window at the window's first message.
thread_local CWnd* t_creating = nullptr;

HINSTANCE FrameworkModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&FrameworkModule), &module);
  return module;
}

ATOM g_windowClass = 0;

const char* FrameworkWindowClass() {
  static std::once_flag registered;
  std::call_once(registered, [] {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &WindowRouting::WndProc;
    wc.hInstance = FrameworkModule();
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kWindowClass;
    g_windowClass = RegisterClassA(&wc);
  });
  return kWindowClass;
}

}  // namespace

void WindowRouting::EnsureCommonControls() {
  // Templates and CreateEx may name the common controls' classes (trees,
  // list views); they exist once the library is initialised.
  static std::once_flag initialised;
  std::call_once(initialised, [] {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
  });
}

namespace {

HWND ReflectionTarget(HWND self, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
      return lParam ? reinterpret_cast<NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      return item && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      return item && item->CtlType != ODT_MENU ? ::GetDlgItem(self, static_cast<int>(item->CtlID)) : nullptr;
    }
    case WM_COMPAREITEM:
      return lParam ? reinterpret_cast<COMPAREITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_DELETEITEM:
      return lParam ? reinterpret_cast<DELETEITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    default:
      (void)wParam;
      return nullptr;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Routing shared by plain windows and dialogs.

void WindowRouting::Bind(CWnd& wnd, HWND handle) {
  std::lock_guard<std::mutex> guard(Maps().lock);
  Maps().permanent[handle] = &wnd;
  wnd.m_hWnd = handle;
}

void WindowRouting::Unbind(CWnd& wnd) {
  if (!wnd.m_hWnd) return;
  std::lock_guard<std::mutex> guard(Maps().lock);
  auto found = Maps().permanent.find(wnd.m_hWnd);
  if (found != Maps().permanent.end() && found->second == &wnd) Maps().permanent.erase(found);
  wnd.m_hWnd = nullptr;
}

bool WindowRouting::IsBound(const CWnd& wnd, HWND handle) {
  std::lock_guard<std::mutex> guard(Maps().lock);
  auto found = Maps().permanent.find(handle);
  return found != Maps().permanent.end() && found->second == &wnd;
}

void WindowRouting::ReportException(const char* what) noexcept {
  try {
    CString text;
    text.Format("程序内部错误：%s", what ? what : "");
    OutputDebugStringA(text);
    Seams::ShowMessageBox(nullptr, text, "错误", MB_OK | MB_ICONERROR);
  } catch (...) {
    OutputDebugStringA("OrbFramework: an error occurred while reporting an error");
  }
}

LRESULT WindowRouting::Deliver(CWnd& wnd, HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  const MSG saved = wnd.m_currentMsg;
  wnd.m_currentMsg = MSG{handle, message, wParam, lParam, 0, {0, 0}};
  LRESULT result = 0;
  try {
    result = wnd.WindowProc(message, wParam, lParam);
  } catch (const std::exception& e) {
    ReportException(e.what());
    result = wnd.DefWindowProc(message, wParam, lParam);
  } catch (...) {
    ReportException("unknown exception");
    result = wnd.DefWindowProc(message, wParam, lParam);
  }
  // A handler may have deleted the object or re-bound the window: touch the
  // object only while it still holds this window.
  if (!IsBound(wnd, handle)) return result;
  wnd.m_currentMsg = saved;
  if (message == WM_NCDESTROY) {
    ::RemovePropA(handle, kSuperProp);
    wnd.m_pfnSuper = nullptr;
    wnd.m_bOwnsWindow = false;
    Unbind(wnd);
    wnd.PostNcDestroy();
  }
  return result;
}

LRESULT CALLBACK WindowRouting::WndProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* wnd = CWnd::FromHandlePermanent(handle);
  // The first message of a window of the framework's class being created by
  // CreateEx binds it to its object, so that WM_CREATE reaches the map.
  if (!wnd && t_creating && static_cast<ATOM>(::GetClassLongPtrA(handle, GCW_ATOM)) == g_windowClass) {
    wnd = std::exchange(t_creating, nullptr);
    wnd->m_pfnSuper = &::DefWindowProcA;
    Bind(*wnd, handle);
  }
  if (wnd) return Deliver(*wnd, handle, message, wParam, lParam);
  // No object (any more): the window's previous procedure, or the default.
  auto super = reinterpret_cast<WNDPROC>(::GetPropA(handle, kSuperProp));
  if (message == WM_NCDESTROY) ::RemovePropA(handle, kSuperProp);
  return super ? ::CallWindowProcA(super, handle, message, wParam, lParam)
               : ::DefWindowProcA(handle, message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// CWnd

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

CWnd::CWnd() = default;

CWnd::CWnd(HWND special) : m_hWnd(special), m_bSpecial(true) {}

CWnd::~CWnd() {
  if (m_bSpecial || !m_hWnd || !WindowRouting::IsBound(*this, m_hWnd)) return;
  // Let go of the window first, so that no message of its destruction reaches
  // an object that is being destroyed.
  const HWND handle = m_hWnd;
  const bool owned = m_bOwnsWindow;
  if (m_pfnSuper)
    UnsubclassWindow();
  else
    Detach();
  if (owned && ::IsWindow(handle)) ::DestroyWindow(handle);
}

CWnd* CWnd::FromHandlePermanent(HWND wnd) {
  if (!wnd) return nullptr;
  std::lock_guard<std::mutex> guard(Maps().lock);
  auto found = Maps().permanent.find(wnd);
  return found == Maps().permanent.end() ? nullptr : found->second;
}

CWnd* CWnd::FromHandle(HWND wnd) {
  if (!wnd) return nullptr;
  if (CWnd* permanent = FromHandlePermanent(wnd)) return permanent;
  std::vector<std::unique_ptr<CWnd>> dead;
  CWnd* result = nullptr;
  {
    std::lock_guard<std::mutex> guard(Maps().lock);
    HandleMaps& maps = Maps();
    auto found = maps.temporary.find(wnd);
    if (found != maps.temporary.end()) return found->second.get();
    // Wrappers of windows that no longer exist are dropped now and then, so
    // the map stays as small as the set of live windows asked about.
    if (++maps.insertionsSincePurge >= 64) {
      maps.insertionsSincePurge = 0;
      for (auto it = maps.temporary.begin(); it != maps.temporary.end();) {
        if (!::IsWindow(it->first)) {
          dead.push_back(std::move(it->second));
          it = maps.temporary.erase(it);
        } else {
          ++it;
        }
      }
    }
    auto wrapper = std::make_unique<CWnd>();
    wrapper->m_hWnd = wnd;
    result = wrapper.get();
    maps.temporary.emplace(wnd, std::move(wrapper));
  }
  for (auto& wrapper : dead) wrapper->m_hWnd = nullptr;
  return result;
}

BOOL CWnd::Attach(HWND wnd) {
  if (!wnd || m_hWnd || FromHandlePermanent(wnd)) return FALSE;
  WindowRouting::Bind(*this, wnd);
  m_bOwnsWindow = false;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND wnd = m_hWnd;
  WindowRouting::Unbind(*this);
  m_bOwnsWindow = false;
  return wnd;
}

BOOL CWnd::SubclassWindow(HWND wnd) {
  if (!wnd || !::IsWindow(wnd) || !Attach(wnd)) return FALSE;
  auto previous = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowRouting::WndProc)));
  m_pfnSuper = previous == &WindowRouting::WndProc ? &::DefWindowProcA : previous;
  ::SetPropA(wnd, kSuperProp, reinterpret_cast<HANDLE>(m_pfnSuper));
  PreSubclassWindow();
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  if (!parent || !parent->m_hWnd) return FALSE;
  return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() {
  if (!m_hWnd) return nullptr;
  if (m_pfnSuper) {
    auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC));
    if (current == &WindowRouting::WndProc) {
      ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
      ::RemovePropA(m_hWnd, kSuperProp);
    }
    m_pfnSuper = nullptr;
  }
  return Detach();
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, const RECT& rect,
                    CWnd* parent, UINT id, LPVOID param, HINSTANCE classModule) {
  if (m_hWnd) return FALSE;
  WindowRouting::EnsureCommonControls();
  const bool ownClass = className == nullptr;
  auto* menuOrId = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr;
  CWnd* const outer = t_creating;
  if (ownClass) t_creating = this;
  HWND wnd = ::CreateWindowExA(exStyle, ownClass ? FrameworkWindowClass() : className, windowName ? windowName : "",
                               style, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                               parent ? parent->m_hWnd : nullptr, menuOrId,
                               classModule && !ownClass ? classModule : FrameworkModule(), param);
  t_creating = outer;
  if (!wnd) return FALSE;
  if (!ownClass && !SubclassWindow(wnd)) {
    ::DestroyWindow(wnd);
    return FALSE;
  }
  m_bOwnsWindow = true;
  return TRUE;
}

BOOL CWnd::Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id) {
  return CreateEx(0, className, windowName, style, rect, parent, id);
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  return ::DestroyWindow(m_hWnd);
}

const MsgMap::Table* CWnd::GetThisMessageMap() {
  static const MsgMap::Entry entries[] = {MsgMap::End()};
  static const MsgMap::Table table{nullptr, entries, 0};
  return &table;
}

const MsgMap::Table* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (OnWndMsg(message, wParam, lParam, &result)) return result;
  return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  return DefWindowProc(m_currentMsg.message, m_currentMsg.wParam, m_currentMsg.lParam);
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  // A control's own notifications go to the control first (reflection); what
  // it does not handle goes to this window's map.
  if (HWND target = ReflectionTarget(m_hWnd, message, wParam, lParam)) {
    CWnd* child = FromHandlePermanent(target);
    if (child && child != this && child->OnChildNotify(message, wParam, lParam, result)) return true;
  }
  const MsgMap::Table* table = GetMessageMap();
  const MsgMap::Entry* entry = nullptr;
  if (message == WM_COMMAND) {
    // Menus and accelerators count as notification code 0, like BN_CLICKED.
    const UINT code = lParam ? HIWORD(wParam) : 0;
    entry = MsgMap::Find(table, MsgMap::Kind::Command, message, code, LOWORD(wParam));
  } else if (message == WM_NOTIFY && lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    entry = MsgMap::Find(table, MsgMap::Kind::Notify, message, header->code, static_cast<UINT>(header->idFrom));
  } else if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
    entry = MsgMap::Find(table, MsgMap::Kind::CtlColor, message, 0, 0);
  }
  if (!entry) entry = MsgMap::Find(table, MsgMap::Kind::Message, message, 0, 0);
  if (!entry) return false;
  *result = entry->thunk(*this, MsgMap::Call{message, wParam, lParam});
  return true;
}

bool CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  return DispatchReflected(message, wParam, lParam, result);
}

bool CWnd::DispatchReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const MsgMap::Entry* entry = nullptr;
  if (message == WM_COMMAND)
    entry = MsgMap::Find(GetMessageMap(), MsgMap::Kind::ReflectCommand, message, HIWORD(wParam), 0);
  else if (message == WM_NOTIFY && lParam)
    entry = MsgMap::Find(GetMessageMap(), MsgMap::Kind::ReflectNotify, message,
                         reinterpret_cast<const NMHDR*>(lParam)->code, 0);
  if (!entry) return false;
  *result = entry->thunk(*this, MsgMap::Call{message, wParam, lParam});
  return true;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(MSG* msg) {
  if (!msg) return FALSE;
  for (HWND wnd = msg->hwnd; wnd;) {
    if (CWnd* object = FromHandlePermanent(wnd); object && object->PreTranslateMessage(msg)) return TRUE;
    // Stop at the top-level window: its owner is not in the chain.
    if (!(::GetWindowLongPtrA(wnd, GWL_STYLE) & WS_CHILD)) break;
    wnd = ::GetParent(wnd);
  }
  return FALSE;
}

CRect CWnd::GetWindowRect() const {
  CRect rect;
  ::GetWindowRect(m_hWnd, &rect);
  return rect;
}

CRect CWnd::GetClientRect() const {
  CRect rect;
  ::GetClientRect(m_hWnd, &rect);
  return rect;
}

void CWnd::ScreenToClient(LPRECT rect) const {
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(rect), 2);
}

void CWnd::ClientToScreen(LPRECT rect) const {
  ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(rect), 2);
}

void CWnd::GetWindowText(CString& text) const {
  const int length = ::GetWindowTextLengthA(m_hWnd);
  char* buffer = text.GetBufferSetLength(length + 1);
  const int copied = length > 0 ? ::GetWindowTextA(m_hWnd, buffer, length + 1) : 0;
  text.ReleaseBuffer(copied);
}

CString CWnd::GetWindowText() const {
  CString text;
  GetWindowText(text);
  return text;
}

int CWnd::GetDlgItemText(int id, CString& text) const {
  HWND item = ::GetDlgItem(m_hWnd, id);
  if (!item) {
    text.Empty();
    return 0;
  }
  const int length = ::GetWindowTextLengthA(item);
  char* buffer = text.GetBufferSetLength(length + 1);
  const int copied = length > 0 ? ::GetWindowTextA(item, buffer, length + 1) : 0;
  text.ReleaseBuffer(copied);
  return copied;
}

CWnd* CWnd::GetTopLevelParent() const { return FromHandle(::GetAncestor(m_hWnd, GA_ROOT)); }

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) {
  const DWORD style = GetStyle();
  const DWORD changed = (style & ~remove) | add;
  if (changed == style) return FALSE;
  ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(changed));
  if (flags) ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, flags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;
}
