#pragma once
// Window-free part of the editor settings: the five keys of
// section "Editor" in the user's settings file, read with the values that
// may reach the editor's page checked, and the list search the toolbar uses
// to show them.
#include <windows.h>

#include <vector>

#include "CString.h"

struct EditorSettings {
  int sendKeyMode = 0;               // 0 Enter, 1 Ctrl+Enter, anything else: the send button only
  CString fontName = "MS Sans Serif";
  int fontSize = 5;                  // HTML size 1 to 7
  COLORREF foreColor = 0;            // 0x00BBGGRR
  COLORREF backColor = 0xFFFFFF;
};

constexpr const char* kEditorSection = "Editor";
constexpr int kMinFontSize = 1;
constexpr int kMaxFontSize = 7;

// Reads the keys present in section "Editor" of the file into settings; a
// missing key leaves its value. What the file holds is checked before it is
// taken, so nothing outside its range reaches the editor:
//  - SendKeyMode: any integer (2 or 7 mean "send button only", as 3 does);
//  - Fontsize: an integer, clamped to 1 to 7 (0 gives 1, 99 gives 7);
//  - ForeColor, BackColor: an integer from 0 to 16777215 (0xFFFFFF); any
//    other (-1, 4294967296) leaves the value;
//  - Fontname: IsUsableFontName, else the value stays;
//  - a value that is not a decimal integer ("abc") leaves the value.
// False (nothing read) when the file cannot be opened.
bool ReadEditorSettings(const char* path, EditorSettings& settings);
// Writes all five keys; false (nothing written) when the file cannot be opened.
bool WriteEditorSettings(const char* path, const EditorSettings& settings);
// Writes SendKeyMode alone.
bool WriteSendKeyMode(const char* path, int mode);

// A face name the editor and its page can take: not empty, at most 31
// characters (LF_FACESIZE), no control characters and none of < > " ' = &
// (the page writes the name unquoted into a FONT tag).
bool IsUsableFontName(const char* name);

// The decimal integer the text starts with (blanks before it allowed);
// false when it does not start with one. Values beyond 64 bits saturate.
bool ParseDecimal(const char* text, long long& value);

// The list search of the toolbar: the first entry that begins with prefix,
// compared without regard to case, looking at entries 1 to the last and at
// entry 0 last (as CB_FINDSTRING after entry 0 does); -1 when none does or
// prefix is empty.
int FindPrefixEntry(const std::vector<CString>& entries, const char* prefix);
