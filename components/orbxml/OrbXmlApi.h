#pragma once
// Export switch of OrbXML.dll.
#ifdef ORBXML_BUILD
#define ORBXML_API __declspec(dllexport)
#else
#define ORBXML_API __declspec(dllimport)
#endif
