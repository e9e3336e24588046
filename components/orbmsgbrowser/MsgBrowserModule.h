#pragma once
// The instance handle of OrbMsgBrowser.dll, whose resources hold the viewer's
// dialog template.
#include <windows.h>

HINSTANCE MsgBrowserModule();
