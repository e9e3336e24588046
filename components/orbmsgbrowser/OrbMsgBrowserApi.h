#pragma once
// Export switch of OrbMsgBrowser.dll.
#ifdef ORBMSGBROWSER_BUILD
#define ORBMSGBROWSER_API __declspec(dllexport)
#else
#define ORBMSGBROWSER_API __declspec(dllimport)
#endif
