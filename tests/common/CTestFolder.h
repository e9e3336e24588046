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

  // The folder, with its trailing backslash.
  const CString& Path() const { return m_strPath; }
  // The folder without its trailing backslash.
  CString Root() const { return m_strPath.Left(m_strPath.GetLength() - 1); }
  // A file (or sub-folder) of the folder.
  CString File(const char* name) const { return m_strPath + name; }

  // Writes a file of the folder, making its sub-folders first.
  bool Write(const char* name, const std::string& bytes) const;
  // A file of the folder, empty when it cannot be read.
  std::string Read(const char* name) const;
  bool Has(const char* name) const { return Exists(File(name)); }

  // Whole files on ANSI paths, of any length.
  static bool WriteBytes(const char* path, const std::string& bytes);
  static bool ReadBytes(const char* path, std::string& bytes);
  static bool Exists(const char* path);

 private:
  CString m_strPath;
};
