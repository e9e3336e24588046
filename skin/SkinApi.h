#pragma once
// Export switch of OrbSkin.dll.
#ifdef ORBSKIN_BUILD
#define ORBSKIN_API __declspec(dllexport)
#else
#define ORBSKIN_API __declspec(dllimport)
#endif
