#pragma once
// Export switch of OrbADO.dll.
#ifdef ORBADO_BUILD
#define ORBADO_API __declspec(dllexport)
#else
#define ORBADO_API __declspec(dllimport)
#endif
