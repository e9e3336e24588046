// A DLL that only carries resources, to check that templates and menus are
// taken from the module they are asked from.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
