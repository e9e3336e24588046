#include "ProfileFolder.h"

#include <windows.h>
#include <shlobj.h>

#include <cctype>

#include "CodePage.h"

namespace {

bool IsIdChar(char ch) {
  return std::isalnum(static_cast<unsigned char>(ch)) || ch == '_' || ch == '-' || ch == '.' || ch == '@';
}

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9 name devices, whatever extension follows.
bool IsDeviceName(const CString& id) {
  CString stem = id;
  int dot = stem.Find('.');
  if (dot >= 0) stem = stem.Left(dot);
  stem.MakeUpper();
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
  return stem.GetLength() == 4 && (stem.Left(3) == "COM" || stem.Left(3) == "LPT") && stem[3] >= '1' &&
         stem[3] <= '9';
}

bool IsLetters(const CString& text) {
  for (char ch : text.Str()) {
    if (!std::isalpha(static_cast<unsigned char>(ch))) return false;
  }
  return true;
}

}  // namespace

ProfileFolder::ProfileFolder(const CString& folder, const CString& userId)
    : m_strFolder(CodePage::AnsiToWide(folder.GetString())), m_strUserId(CodePage::AnsiToWide(userId.GetString())) {
  // Separators are stripped as wide characters: in code page 936 a trail byte
  // may look like a backslash.
  while (m_strFolder.size() > 1 && (m_strFolder.back() == L'\\' || m_strFolder.back() == L'/') &&
         !(m_strFolder.size() == 3 && m_strFolder[1] == L':'))
    m_strFolder.pop_back();
}

bool ProfileFolder::CheckLogin(InfoLoginInfoStruct& login, CString& error) {
  login.m_strUserID.Trim();
  login.m_strRole.Trim();
  login.m_strRoleCodes.Trim();
  login.m_strProfileDir.Trim();
  const CString& id = login.m_strUserID;
  bool idValid = !id.IsEmpty() && id.GetLength() <= 64 && id[0] != '.' && !IsDeviceName(id);
  for (char ch : id.Str()) idValid = idValid && IsIdChar(ch);
  if (!idValid) {
    error.Format("用户编号无效: \"%s\"", id.GetString());
    return false;
  }
  if (login.m_strRole.GetLength() != 1 || !IsLetters(login.m_strRole)) {
    error.Format("角色代码无效: \"%s\"", login.m_strRole.GetString());
    return false;
  }
  if (!IsLetters(login.m_strRoleCodes)) {
    error.Format("角色代码表无效: \"%s\"", login.m_strRoleCodes.GetString());
    return false;
  }
  if (login.m_strRoleCodes.IsEmpty()) login.m_strRoleCodes = login.m_strRole;
  if (login.m_strProfileDir.IsEmpty()) {
    error = "没有指定用户资料目录";
    return false;
  }
  return true;
}

bool ProfileFolder::Create(CString& error) const {
  int result = SHCreateDirectoryExW(nullptr, m_strFolder.c_str(), nullptr);
  DWORD attributes = GetFileAttributesW(m_strFolder.c_str());
  bool isFolder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  if (isFolder) return true;
  error.Format("无法建立用户资料目录: %s (%d)",
               CodePage::WideToAnsi(m_strFolder.c_str()).GetString(), result);
  return false;
}

CString ProfileFolder::FilePath(const char* extension) const {
  std::wstring path = m_strFolder;
  if (path.back() != L'\\' && path.back() != L'/') path += L'\\';
  path += m_strUserId;
  path += CodePage::AnsiToWide(extension);
  return CodePage::WideToAnsi(path.c_str());
}

bool ProfileFolder::CreateEmptyFile(const CString& path) {
  std::wstring wide = CodePage::AnsiToWide(path.GetString());
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return true;
  }
  DWORD attributes = GetFileAttributesW(wide.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
