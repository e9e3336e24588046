#include "TestWindow.h"

#include <commctrl.h>

#include <map>
#include <string>

TestWindow TestWindow::Parent(WNDPROC proc) {
  static bool commonControls = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)commonControls;
  // One window class per procedure.
  static std::map<WNDPROC, std::string> classes;
  WNDPROC key = proc ? proc : DefWindowProcA;
  auto found = classes.find(key);
  if (found == classes.end()) {
    std::string name = "OrbSkinTestParent" + std::to_string(classes.size());
    WNDCLASSA wc{};
    wc.lpfnWndProc = key;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = name.c_str();
    RegisterClassA(&wc);
    found = classes.emplace(key, name).first;
  }
  HWND wnd = CreateWindowA(found->second.c_str(), "skin test", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  return TestWindow(wnd);
}

HWND TestWindow::Child(HWND parent, const char* cls, DWORD style, int id, RECT rect) {
  return CreateWindowA(cls, "", style | WS_CHILD | WS_VISIBLE, rect.left, rect.top, rect.right - rect.left,
                       rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                       GetModuleHandleA(nullptr), nullptr);
}
