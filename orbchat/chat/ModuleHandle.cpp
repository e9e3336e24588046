#include "chat/ModuleHandle.h"

namespace {
HINSTANCE g_module = nullptr;
}

HINSTANCE OrbChatModuleHandle() { return g_module; }
void SetOrbChatModuleHandle(HINSTANCE module) { g_module = module; }
