#include "ChatTestSupport.h"

#include <gtest/gtest.h>

#include "chat/ModuleHandle.h"

namespace {

// The module code linked into the test loads its templates and menus from
// the real OrbChat.dll beside the test.
class COrbChatResources : public ::testing::Environment {
 public:
  void SetUp() override {
    m_hModule = ::LoadLibraryA("OrbChat.dll");
    ASSERT_NE(m_hModule, nullptr) << "OrbChat.dll must lie beside the test";
    SetOrbChatModuleHandle(m_hModule);
  }
  void TearDown() override {
    SetOrbChatModuleHandle(nullptr);
    if (m_hModule) ::FreeLibrary(m_hModule);
  }

 private:
  HMODULE m_hModule = nullptr;
};

[[maybe_unused]] ::testing::Environment* const g_resources =
    ::testing::AddGlobalTestEnvironment(new COrbChatResources);

}  // namespace

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
