#include <windows.h>

#include "ConnectionPool.h"

// The pool's connections are closed when the DLL goes (the pool pins the DLL
// once its timer runs, so that is at process exit); nothing waits for the
// timer's thread, which may already be gone.
BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_DETACH) CConnectionPool::Instance().Shutdown();
  return TRUE;
}
