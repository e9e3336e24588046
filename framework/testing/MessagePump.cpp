#include "MessagePump.h"

#include "CWnd.h"

namespace OrbTesting {

namespace {

constexpr DWORD kRecheckMs = 10;

// Dispatches every queued message; false once WM_QUIT was seen (it is put
// back for the caller's own loop).
bool DispatchQueued() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    if (!CWnd::WalkPreTranslateTree(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  return true;
}

}  // namespace

void PumpPending() { DispatchQueued(); }

bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (!DispatchQueued()) return done && done();
    if (done && done()) return true;
    const DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= ms) return done && done();
    // Work of other threads (thread-pool timers, sockets) posts nothing, so
    // the condition is looked at again every few milliseconds too.
    const DWORD wait = ms - elapsed < kRecheckMs ? ms - elapsed : kRecheckMs;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
  }
}

void PumpMessages(DWORD ms) { PumpUntil(nullptr, ms); }

}  // namespace OrbTesting
