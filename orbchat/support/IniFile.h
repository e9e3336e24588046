#pragma once
// A small INI reader and writer that holds the whole file in memory as lines
// and writes it back when it goes out of scope, so one object serves one read
// or one read-modify-write. The system profile functions are not used: they
// cache files and treat comments and case differently from this format.
//
// Format: "[name]" starts a section (names match with case), "key=value" lines
// below it (keys match without case, blanks around the key ignored), lines
// starting with "//" or ";" are comments. A "//" after a blank, tab or ";"
// starts an inline comment that is not part of the value, so "http://x" stays
// whole.
#include <vector>

#include "CString.h"

class CIniFile {
 public:
  CIniFile() = default;
  CIniFile(const CIniFile&) = delete;
  CIniFile& operator=(const CIniFile&) = delete;
  // Writes the lines back when something was changed (see Save).
  virtual ~CIniFile();

  // Reads the file; 1 on success, 0 when it cannot be opened (then every get
  // reports "not found" and every set does nothing). Loading another file
  // first saves pending changes of the current one.
  int Load(const char* path);

  // 1 and out set when the key is in the section; 0 and out untouched when not.
  int GetString(const char* section, const char* key, CString& out) const;
  // As GetString, with the value's leading integer (atoi rules, clamped to the
  // int range) stored in out.
  int GetInt(const char* section, const char* key, int& out) const;

  // Sets the key's value, adding the section or the key where missing. 1 when
  // the lines were changed; 0 when nothing is loaded or a text holds a line
  // break (it would split the line and plant keys of its own).
  int SetString(const char* section, const char* key, const char* value);
  int SetInt(const char* section, const char* key, int value);

  // 1-based number of the key's line in the section, -1 when the section or
  // key is missing, -2 when the section ends before the key.
  int FindKeyLine(const char* section, const char* key) const;

  const std::vector<CString>& Lines() const { return m_arrLines; }
  bool IsLoaded() const { return m_bLoaded; }

  // Writes pending changes now (the destructor does it otherwise): a new file
  // replaces the old one, or, when another program holds the file open
  // without delete sharing, the file is rewritten in place (safely, see
  // README.md). True when the file holds the changes afterwards; false when it
  // could not be written, and then the changes stay pending.
  bool Save();

 private:
  int FindSection(const char* section) const;

  std::vector<CString> m_arrLines;
  CString m_strPath;
  bool m_bLoaded = false;
  bool m_bModified = false;
};
