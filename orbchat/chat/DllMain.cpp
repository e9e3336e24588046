// OrbChat.dll's entry point: remembers the DLL's own instance handle, from
// which every template, menu and bitmap of the module is loaded.
#include <windows.h>

#include "chat/ModuleHandle.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) {
    SetOrbChatModuleHandle(instance);
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}
