#pragma once
// The open and save file dialogs, asked through Seams::OpenFileDialog and
// Seams::SaveFileDialog (a test answers them). The filter is written as
// "Text|*.a;*.b|Other|*.*||"; the bars are separators only where they stand as
// characters of their own (a GBK trail byte 0x7C is part of its character).
// The process's current directory is left unchanged by the dialog.
#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "CObject.h"
#include "CString.h"
#include "FrameworkApi.h"

class CWnd;

class ORBFW_API CFileDialog : public CObject {
 public:
  CFileDialog(BOOL openFileDialog, const char* defaultExt = nullptr, const char* fileName = nullptr,
              DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
              CWnd* parent = nullptr);
  CFileDialog(const CFileDialog&) = delete;
  CFileDialog& operator=(const CFileDialog&) = delete;

  // IDOK when a file was chosen, IDCANCEL otherwise.
  virtual INT_PTR DoModal();

  // The chosen file's full path, its name with and without extension, and
  // its extension (without the dot; empty when the name has none).
  CString GetPathName() const;
  CString GetFileName() const;
  CString GetFileTitle() const;
  CString GetFileExt() const;

  // "A|*.a|B|*.b||" as the double-NUL-terminated list the dialog takes.
  static std::string ConvertFilter(const char* filter);

  OPENFILENAMEA m_ofn;

 private:
  BOOL m_bOpenFileDialog;
  std::string m_strFilter;
  std::string m_strDefaultExt;
  std::vector<char> m_fileBuffer;
};
