// For the tests that link the module's code: it loads its templates and
// menus from the real OrbChat.dll beside the test. Compiled into each such
// test executable (a global environment in a library would be left out by
// the linker, as nothing refers to it).
#include <windows.h>

#include <gtest/gtest.h>

#include "chat/ModuleHandle.h"

namespace {

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
