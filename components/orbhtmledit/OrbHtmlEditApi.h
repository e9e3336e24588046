#pragma once
// Export switch of OrbHtmlEdit.dll.
#ifdef ORBHTMLEDIT_BUILD
#define ORBHTMLEDIT_API __declspec(dllexport)
#else
#define ORBHTMLEDIT_API __declspec(dllimport)
#endif
