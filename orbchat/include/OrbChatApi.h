#pragma once
// Export switch of OrbChat.dll: the module's own code is built with
// ORBCHAT_BUILD; a host that includes OrbChat.h imports.
#ifdef ORBCHAT_BUILD
#define ORBCHAT_API __declspec(dllexport)
#else
#define ORBCHAT_API __declspec(dllimport)
#endif
