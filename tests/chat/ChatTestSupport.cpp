#include "ChatTestSupport.h"

#include <gtest/gtest.h>

CTestFrame::CTestFrame(int width, int height) {
  EXPECT_TRUE(CreateEx(0, nullptr, "聊天模块测试", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                       CRect(30, 30, 30 + width, 30 + height), nullptr, 0));
  ShowWindow(SW_SHOW);
  UpdateWindow();
}

CTestFrame::~CTestFrame() {
  if (m_hWnd) DestroyWindow();
}

namespace {
struct CaptionCount {
  const char* caption;
  int count;
};
BOOL CALLBACK CountIfCaption(HWND wnd, LPARAM param) {
  auto* state = reinterpret_cast<CaptionCount*>(param);
  char text[256] = {};
  ::GetWindowTextA(wnd, text, sizeof text);
  if (CString(text) == state->caption) ++state->count;
  return TRUE;
}
}  // namespace

int CountThreadWindows(const char* caption) {
  CaptionCount state{caption, 0};
  ::EnumThreadWindows(::GetCurrentThreadId(), &CountIfCaption, reinterpret_cast<LPARAM>(&state));
  return state.count;
}
