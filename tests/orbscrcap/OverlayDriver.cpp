#include "OverlayDriver.h"

namespace {

const char kHelperClass[] = "ScrCapOverlayDriver";
const UINT kRunStep = WM_APP + 1;
const UINT_PTR kWatchdog = 1;

struct FindState {
  HWND found = nullptr;
};

BOOL CALLBACK CheckWindow(HWND wnd, LPARAM param) {
  char title[32] = {};
  ::GetWindowTextA(wnd, title, sizeof title);
  const bool topmost = (::GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  if (::IsWindowVisible(wnd) && topmost && lstrcmpA(title, "截屏") == 0) {
    reinterpret_cast<FindState*>(param)->found = wnd;
    return FALSE;
  }
  return TRUE;
}

LPARAM At(CPoint at) { return MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)); }

}  // namespace

COverlayDriver::COverlayDriver(DWORD timeoutMs) : m_dwTimeout(timeoutMs) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &COverlayDriver::Proc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = kHelperClass;
  ::RegisterClassA(&wc);  // fails harmlessly when a driver registered it before
  m_hHelper = ::CreateWindowExA(0, kHelperClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  ::SetWindowLongPtrA(m_hHelper, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

COverlayDriver::~COverlayDriver() {
  if (m_hHelper) ::DestroyWindow(m_hHelper);
}

void COverlayDriver::Start() {
  ::SetTimer(m_hHelper, kWatchdog, m_dwTimeout, nullptr);
  ::PostMessageA(m_hHelper, kRunStep, 0, 0);
}

HWND COverlayDriver::FindOverlay() {
  FindState state;
  ::EnumThreadWindows(::GetCurrentThreadId(), &CheckWindow, reinterpret_cast<LPARAM>(&state));
  return state.found;
}

void COverlayDriver::RunNext() {
  if (m_listSteps.empty()) return;
  Step step = std::move(m_listSteps.front());
  m_listSteps.pop_front();
  HWND overlay = FindOverlay();
  if (!overlay) {
    ++m_nMissed;
    return;
  }
  step(overlay);
  ++m_nStepsRun;
  // Behind the input the step posted, so the next step sees it handled.
  ::PostMessageA(m_hHelper, kRunStep, 0, 0);
}

LRESULT CALLBACK COverlayDriver::Proc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<COverlayDriver*>(::GetWindowLongPtrA(wnd, GWLP_USERDATA));
  if (self && message == kRunStep) {
    self->RunNext();
    return 0;
  }
  if (self && message == WM_TIMER && wParam == kWatchdog) {
    ::KillTimer(wnd, kWatchdog);
    if (HWND overlay = FindOverlay()) {
      self->m_bTimedOut = true;
      ::DestroyWindow(overlay);
    }
    return 0;
  }
  return ::DefWindowProcA(wnd, message, wParam, lParam);
}

void COverlayDriver::Move(HWND overlay, CPoint at) { ::PostMessageA(overlay, WM_MOUSEMOVE, 0, At(at)); }

void COverlayDriver::Down(HWND overlay, CPoint at) {
  ::PostMessageA(overlay, WM_LBUTTONDOWN, MK_LBUTTON, At(at));
}

void COverlayDriver::Up(HWND overlay, CPoint at) { ::PostMessageA(overlay, WM_LBUTTONUP, 0, At(at)); }

void COverlayDriver::DoubleClick(HWND overlay, CPoint at) {
  // What the system sends for a double click: press, release, then the
  // second press as WM_LBUTTONDBLCLK, and its release.
  Down(overlay, at);
  Up(overlay, at);
  ::PostMessageA(overlay, WM_LBUTTONDBLCLK, MK_LBUTTON, At(at));
  Up(overlay, at);
}

void COverlayDriver::RightClick(HWND overlay, CPoint at) {
  ::PostMessageA(overlay, WM_RBUTTONDOWN, MK_RBUTTON, At(at));
  ::PostMessageA(overlay, WM_RBUTTONUP, 0, At(at));
}

void COverlayDriver::Key(HWND overlay, UINT key) {
  ::PostMessageA(overlay, WM_KEYDOWN, key, 1);
  ::PostMessageA(overlay, WM_KEYUP, key, 0xC0000001);
}
