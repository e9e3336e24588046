#pragma once
// A fresh folder under the temporary folder for one test, removed with all it
// holds at the end. Its name has Chinese in it, so every path the code under
// test sees is a code page 936 path that only the wide file API reaches.
#include <string>

#include "CString.h"

class CTestFolder {
 public:
  CTestFolder();
  CTestFolder(const CTestFolder&) = delete;
  CTestFolder& operator=(const CTestFolder&) = delete;
  ~CTestFolder();

  CString Path(const char* name) const { return m_strRoot + "\\" + name; }
  const CString& Root() const { return m_strRoot; }

  // Whole files on ANSI paths, of any length.
  static bool WriteBytes(const char* path, const std::string& bytes);
  static bool ReadBytes(const char* path, std::string& bytes);
  static bool Exists(const char* path);

 private:
  CString m_strRoot;
};
