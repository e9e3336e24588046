// The smallest honest host: a frame window that loads OrbChat.dll and lists
// the names the module exports. The full demo host replaces it.
//   OrbChatDemo.exe [--exit-after MS]
// With ORB_READY_FILE set, the file is created after the first paint, so a
// screenshot can be taken at the right moment.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct DemoState {
  HMODULE module = nullptr;
  std::string report;
  bool readySignalled = false;
};
DemoState g_state;

std::vector<std::string> ExportedNames(HMODULE module) {
  std::vector<std::string> names;
  auto* base = reinterpret_cast<const BYTE*>(module);
  auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (dir.VirtualAddress == 0) return names;
  auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
  auto* nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i)
    names.emplace_back(reinterpret_cast<const char*>(base + nameRvas[i]));
  return names;
}

std::string BuildReport() {
  if (!g_state.module) return "无法加载 OrbChat.dll。";
  char path[MAX_PATH] = {};
  GetModuleFileNameA(g_state.module, path, MAX_PATH);
  std::vector<std::string> names = ExportedNames(g_state.module);
  std::string text = "已加载 ";
  text += path;
  text += "\r\n导出 " + std::to_string(names.size()) + " 个名字：\r\n";
  for (const std::string& n : names) text += "  " + n + "\r\n";
  return text;
}

void SignalReady() {
  if (g_state.readySignalled) return;
  g_state.readySignalled = true;
  const char* ready = std::getenv("ORB_READY_FILE");
  if (!ready || !*ready) return;
  HANDLE f = CreateFileA(ready, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
}

LRESULT CALLBACK FrameProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(wnd, &ps);
      RECT rc;
      GetClientRect(wnd, &rc);
      InflateRect(&rc, -10, -10);
      HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
      DrawTextA(dc, g_state.report.c_str(), -1, &rc, DT_LEFT | DT_TOP | DT_WORDBREAK);
      SelectObject(dc, old);
      EndPaint(wnd, &ps);
      SignalReady();
      return 0;
    }
    case WM_TIMER:
      DestroyWindow(wnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(wnd, msg, wp, lp);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  UINT exitAfter = 0;
  for (int i = 1; i + 1 < __argc; ++i)
    if (std::strcmp(__argv[i], "--exit-after") == 0) exitAfter = static_cast<UINT>(std::atoi(__argv[i + 1]));

  g_state.module = LoadLibraryA("OrbChat.dll");
  g_state.report = BuildReport();

  WNDCLASSA wc{};
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "OrbChatDemoFrame";
  RegisterClassA(&wc);
  HWND frame = CreateWindowA("OrbChatDemoFrame", "OrbChat 演示宿主", WS_OVERLAPPEDWINDOW, 40, 40, 520, 360,
                             nullptr, nullptr, instance, nullptr);
  if (!frame) return 2;
  ShowWindow(frame, show);
  UpdateWindow(frame);
  if (exitAfter) SetTimer(frame, 1, exitAfter, nullptr);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (g_state.module) FreeLibrary(g_state.module);
  return g_state.module ? 0 : 1;
}
