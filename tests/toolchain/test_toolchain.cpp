// End-to-end proof of the build chain: code page 936 under Wine, Chinese
// resources compiled from UTF-8, and window messages delivered.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "toolchain_ids.h"

namespace {

std::wstring Widen(const std::string& ansi) {
  int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), static_cast<int>(ansi.size()), out.data(), n);
  return out;
}

std::string Narrow(const std::wstring& wide) {
  int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

TEST(CodePage, AnsiCodePageIs936) { EXPECT_EQ(GetACP(), 936u); }

TEST(CodePage, NarrowLiteralsAreGbkBytes) {
  // "群" is C8 BA in GBK; the compiler must have turned the UTF-8 source into it.
  const std::string s = "群";
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(static_cast<unsigned char>(s[0]), 0xC8);
  EXPECT_EQ(static_cast<unsigned char>(s[1]), 0xBA);
}

TEST(CodePage, RoundTripThroughUtf16) {
  const std::string ansi = "您的系统配置有问题，无法建会话， 请检查505配置! ";
  EXPECT_EQ(ansi.size(), 48u);
  const std::wstring wide = Widen(ansi);
  EXPECT_EQ(wide.substr(0, 2), L"\u60a8\u7684");  // 您的
  EXPECT_EQ(Narrow(wide), ansi);
}

TEST(Resources, DialogTextsComeOutInChinese) {
  HWND dlg = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PROBE), nullptr, nullptr, 0);
  ASSERT_NE(dlg, nullptr);
  wchar_t wide[64] = {};
  GetWindowTextW(dlg, wide, 64);
  EXPECT_STREQ(wide, L"\u5bf9\u8bdd\u6846\u7ba1\u7406\u5668");  // 对话框管理器
  char ansi[64] = {};
  GetDlgItemTextA(dlg, IDC_PROBE_TEXT, ansi, 64);
  EXPECT_STREQ(ansi, "群社区");
  GetDlgItemTextA(dlg, IDOK, ansi, 64);
  EXPECT_STREQ(ansi, "确定");
  DestroyWindow(dlg);

  char str[64] = {};
  ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), IDS_PROBE, str, 64), 0);
  EXPECT_STREQ(str, "发送内容为空!");
}

namespace {
int g_timerTicks = 0;
LRESULT CALLBACK TimerProbeProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER && wp == 7) ++g_timerTicks;
  return DefWindowProcA(wnd, msg, wp, lp);
}
}  // namespace

TEST(Messages, TimerReachesItsWindow) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = TimerProbeProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "OrbTimerProbe";
  RegisterClassA(&wc);
  HWND wnd = CreateWindowA("OrbTimerProbe", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(wnd, nullptr);
  g_timerTicks = 0;
  ASSERT_NE(SetTimer(wnd, 7, 10, nullptr), 0u);
  // A bounded pump: at most five seconds of messages, usually a few ms.
  const DWORD start = GetTickCount();
  MSG msg;
  while (g_timerTicks < 2 && GetTickCount() - start < 5000) {
    if (GetMessageA(&msg, nullptr, 0, 0) <= 0) break;
    DispatchMessageA(&msg);
  }
  KillTimer(wnd, 7);
  DestroyWindow(wnd);
  EXPECT_GE(g_timerTicks, 2);
}
