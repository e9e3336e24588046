#pragma once
// The module whose resources (templates, menus, bitmaps) the module loads:
// OrbChat.dll itself, set by its entry point. A test that links the module's
// code directly sets it to a loaded OrbChat.dll.
#include <windows.h>

HINSTANCE OrbChatModuleHandle();
void SetOrbChatModuleHandle(HINSTANCE module);
