#pragma once
// Small file helpers shared by the module: existence test, the temporary
// folder and the path-with-another-extension rule behind every derived file
// (".dat", ".ini", ".xml", ".msg"). Paths are ANSI text in code page 936.
#include <string>

#include "CString.h"

// True when the path names an existing file or folder whose found name occurs
// in the path (compared without regard to case), so a wildcard pattern that
// happens to match something is not taken for an existing file. Works for
// every path length the platform allows.
bool FileExists(const char* path);

// The system temporary folder, with its trailing backslash, as GetTempPathA
// gives it; empty when the system reports none.
CString GetTempDir();

// The path with its extension replaced by ext (which carries its own "."):
// the text after the last "." of the file name is cut, a path without an
// extension just gets ext appended. A "." inside a folder name is not an
// extension, so "C:\a.b\user" becomes "C:\a.b\user.dat".
CString ReplaceExtension(const char* path, const char* ext);

// The ANSI path as UTF-16 for the W file functions; a path too long for the
// classic limit gets the "\\?\" prefix so the call still reaches it.
std::wstring ToWidePath(const char* path);

// The whole file as bytes, read with sharing so a writer may hold it open;
// false when it does not open, cannot be read or is larger than maxBytes.
bool ReadWholeFile(const char* path, std::string& out, unsigned long long maxBytes);
bool ReadWholeFile(const std::wstring& widePath, std::string& out, unsigned long long maxBytes);
