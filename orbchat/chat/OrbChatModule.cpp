// The module's entry point: remembers the DLL's own instance handle, from
// which every template, menu and bitmap of the module is loaded.
#include <windows.h>

namespace {
HINSTANCE g_hModule = nullptr;
}

HINSTANCE OrbChatModuleHandle() { return g_hModule; }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_hModule = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}
