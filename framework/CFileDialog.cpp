#include "CFileDialog.h"

#include <algorithm>

#include "CWnd.h"
#include "Seams.h"

namespace {

constexpr size_t kFileBufferSize = 4096;

}  // namespace

CFileDialog::CFileDialog(BOOL openFileDialog, const char* defaultExt, const char* fileName, DWORD flags,
                         const char* filter, CWnd* parent)
    : m_ofn{}, m_bOpenFileDialog(openFileDialog), m_fileBuffer(kFileBufferSize, '\0') {
  m_strFilter = ConvertFilter(filter);
  if (defaultExt) m_strDefaultExt = defaultExt;
  if (fileName) lstrcpynA(m_fileBuffer.data(), fileName, static_cast<int>(m_fileBuffer.size()));
  m_ofn.lStructSize = sizeof m_ofn;
  m_ofn.hwndOwner = parent ? parent->m_hWnd : nullptr;
  m_ofn.lpstrFilter = m_strFilter.empty() ? nullptr : m_strFilter.c_str();
  m_ofn.nFilterIndex = 1;
  m_ofn.lpstrFile = m_fileBuffer.data();
  m_ofn.nMaxFile = static_cast<DWORD>(m_fileBuffer.size());
  m_ofn.lpstrDefExt = m_strDefaultExt.empty() ? nullptr : m_strDefaultExt.c_str();
  // The dialog would otherwise make the chosen folder the process's current
  // directory, under the host's feet.
  m_ofn.Flags = flags | OFN_EXPLORER | OFN_NOCHANGEDIR;
}

std::string CFileDialog::ConvertFilter(const char* filter) {
  std::string out;
  if (!filter || !*filter) return out;
  for (const char* p = filter; *p;) {
    if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1]) {
      out.append(p, 2);
      p += 2;
    } else {
      out += *p == '|' ? '\0' : *p;
      ++p;
    }
  }
  // The list ends with two NULs whether or not the text ended with "||".
  while (out.size() < 2 || out[out.size() - 1] != '\0' || out[out.size() - 2] != '\0') out += '\0';
  return out;
}

INT_PTR CFileDialog::DoModal() {
  const bool chosen = m_bOpenFileDialog ? Seams::OpenFileDialog(m_ofn) : Seams::SaveFileDialog(m_ofn);
  if (!chosen) return IDCANCEL;
  // A reply longer than the buffer cannot be trusted to be terminated.
  if (m_ofn.lpstrFile && m_ofn.nMaxFile > 0) m_ofn.lpstrFile[m_ofn.nMaxFile - 1] = '\0';
  return IDOK;
}

CString CFileDialog::GetPathName() const { return CString(m_ofn.lpstrFile ? m_ofn.lpstrFile : ""); }

CString CFileDialog::GetFileName() const {
  const CString path = GetPathName();
  const int slash = std::max(path.ReverseFind('\\'), path.ReverseFind('/'));
  return path.Mid(slash + 1);
}

CString CFileDialog::GetFileTitle() const {
  const CString name = GetFileName();
  const int dot = name.ReverseFind('.');
  return dot < 0 ? name : name.Left(dot);
}

CString CFileDialog::GetFileExt() const {
  const CString name = GetFileName();
  const int dot = name.ReverseFind('.');
  return dot < 0 ? CString() : name.Mid(dot + 1);
}
