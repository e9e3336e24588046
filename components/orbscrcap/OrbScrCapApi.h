#pragma once
// Export switch of OrbScrCap.dll.
#ifdef ORBSCRCAP_BUILD
#define ORBSCRCAP_API __declspec(dllexport)
#else
#define ORBSCRCAP_API __declspec(dllimport)
#endif
