#pragma once
// A fresh folder under the temporary folder for one test, with Chinese in its
// name so every path the code under test sees is a code page 936 path that
// only the wide file functions reach correctly. Removed with everything in it
// when the object goes.
#include <string>

#include "CString.h"

class CTestFolder {
 public:
  CTestFolder();
  CTestFolder(const CTestFolder&) = delete;
  CTestFolder& operator=(const CTestFolder&) = delete;
  ~CTestFolder();

  // ANSI path of name inside the folder.
  CString Path(const char* name) const;
  const CString& Root() const { return m_strRoot; }

  // Whole-file helpers on ANSI paths (through the wide API).
  static bool WriteBytes(const char* path, const std::string& bytes);
  static bool ReadBytes(const char* path, std::string& bytes);
  static bool Exists(const char* path);

 private:
  CString m_strRoot;
};
