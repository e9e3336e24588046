#include "FileUtils.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "CFileHandle.h"
#include "CodePage.h"

namespace {

std::wstring Upper(std::wstring text) {
  if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

}  // namespace

std::wstring ToWidePath(const char* path) {
  std::wstring wide = CodePage::AnsiToWide(path);
  if (wide.size() < MAX_PATH || wide.rfind(L"\\\\?\\", 0) == 0) return wide;
  // The long form only accepts absolute paths with backslashes.
  for (wchar_t& ch : wide)
    if (ch == L'/') ch = L'\\';
  if (wide.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + wide.substr(2);
  if (wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\') return L"\\\\?\\" + wide;
  return wide;
}

bool FileExists(const char* path) {
  if (!path || !*path) return false;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(ToWidePath(path).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  const std::wstring name = Upper(found.cFileName);
  return !name.empty() && Upper(CodePage::AnsiToWide(path)).find(name) != std::wstring::npos;
}

CString GetTempDir() {
  DWORD needed = GetTempPathA(0, nullptr);
  if (needed == 0) return CString();
  std::vector<char> buffer(needed + 1, '\0');
  DWORD length = GetTempPathA(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length == 0 || length >= buffer.size()) return CString();
  return CString(buffer.data(), static_cast<int>(length));
}

CString ReplaceExtension(const char* path, const char* ext) {
  CString result(path ? path : "");
  // ReverseFind steps over double-byte characters, so a GBK trail byte that
  // equals "\" is never taken for a separator.
  const int slash = std::max(result.ReverseFind('\\'), result.ReverseFind('/'));
  const int dot = result.ReverseFind('.');
  if (dot > slash) result = result.Left(dot);
  result += ext ? ext : "";
  return result;
}

bool ReadWholeFile(const char* path, std::string& out, unsigned long long maxBytes) {
  out.clear();
  return path && *path && ReadWholeFile(ToWidePath(path), out, maxBytes);
}

bool ReadWholeFile(const std::wstring& widePath, std::string& out, unsigned long long maxBytes) {
  out.clear();
  CFileHandle file(CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size) || static_cast<unsigned long long>(size.QuadPart) > maxBytes) return false;
  out.resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < out.size()) {
    DWORD read = 0;
    if (!ReadFile(file.Get(), out.data() + done, static_cast<DWORD>(out.size() - done), &read, nullptr)) {
      out.clear();
      return false;
    }
    if (read == 0) break;
    done += read;
  }
  out.resize(done);
  return true;
}
