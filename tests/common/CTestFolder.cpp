#include "CTestFolder.h"

#include <windows.h>

#include "CodePage.h"
#include "OrbADO.h"

namespace {

// The long form reaches paths of any length; it needs backslashes only.
std::wstring Long(const char* path) {
  std::wstring wide = CodePage::AnsiToWide(path);
  for (wchar_t& ch : wide)
    if (ch == L'/') ch = L'\\';
  return wide.rfind(L"\\\\?\\", 0) == 0 ? wide : L"\\\\?\\" + wide;
}

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  while (search != INVALID_HANDLE_VALUE) {
    const std::wstring name = found.cFileName, path = folder + L"\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (name != L"." && name != L"..") RemoveTree(path);
    } else {
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(path.c_str());
    }
    if (!FindNextFileW(search, &found)) break;
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  RemoveDirectoryW(folder.c_str());
}

// Makes every folder on the way to the file's own folder.
void MakeFoldersFor(const std::wstring& file) {
  for (size_t at = file.find(L'\\', 4); at != std::wstring::npos; at = file.find(L'\\', at + 1))
    CreateDirectoryW(file.substr(0, at).c_str(), nullptr);
}

}  // namespace

CTestFolder::CTestFolder() {
  static int s_nNext = 0;
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring root = std::wstring(temp) + L"orb\u6d4b\u8bd5-" + std::to_wstring(GetCurrentProcessId()) +
                            L"-" + std::to_wstring(++s_nNext);  // orb测试-pid-n
  RemoveTree(root);
  CreateDirectoryW(root.c_str(), nullptr);
  m_strPath = CodePage::WideToAnsi(root.c_str()) + "\\";
}

CTestFolder::~CTestFolder() {
  // Pooled database connections keep their files open.
  COrbADO::ReleaseIdleConnections();
  std::wstring root = Long(m_strPath);
  root.pop_back();  // the trailing backslash
  RemoveTree(root);
}

bool CTestFolder::Write(const char* name, const std::string& bytes) const {
  MakeFoldersFor(Long(File(name)));
  return WriteBytes(File(name), bytes);
}

std::string CTestFolder::Read(const char* name) const {
  std::string bytes;
  ReadBytes(File(name), bytes);
  return bytes;
}

bool CTestFolder::WriteBytes(const char* path, const std::string& bytes) {
  HANDLE file = CreateFileW(Long(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  const bool ok = file != INVALID_HANDLE_VALUE &&
                  (bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return ok && written == bytes.size();
}

bool CTestFolder::ReadBytes(const char* path, std::string& bytes) {
  bytes.clear();
  HANDLE file = CreateFileW(Long(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return true;
}

bool CTestFolder::Exists(const char* path) { return GetFileAttributesW(Long(path).c_str()) != INVALID_FILE_ATTRIBUTES; }
