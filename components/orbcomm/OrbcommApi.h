#pragma once
// Export switch of Orbcomm.dll.
#ifdef ORBCOMM_BUILD
#define ORBCOMM_API __declspec(dllexport)
#else
#define ORBCOMM_API __declspec(dllimport)
#endif
