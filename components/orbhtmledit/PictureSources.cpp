#include "PictureSources.h"

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <mutex>
#include <set>
#include <vector>

#include "CodePage.h"
#include "Seams.h"

namespace PictureSources {

namespace {

constexpr ULONGLONG kMaxPictureBytes = 16ull * 1024 * 1024;
constexpr const wchar_t* kExtensions[] = {L".gif", L".png", L".jpg", L".jpeg", L".jpe", L".bmp", L".tif", L".tiff"};

std::wstring Lower(std::wstring text) {
  if (!text.empty()) ::CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

bool StartsWithFolder(const std::wstring& lowerPath, const std::wstring& folder) {
  if (folder.empty()) return false;
  const std::wstring lowerFolder = Lower(folder);
  return lowerPath.size() > lowerFolder.size() && lowerPath.compare(0, lowerFolder.size(), lowerFolder) == 0;
}

std::mutex g_userLock;
std::set<std::wstring> g_userPictures;  // lower case

std::wstring WithBackslash(std::wstring folder) {
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  return folder;
}

bool IsRunning(DWORD pid) {
  HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return ::GetLastError() == ERROR_ACCESS_DENIED;
  DWORD code = 0;
  const bool running = ::GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
  ::CloseHandle(process);
  return running;
}

// Removes the files of one folder (no subfolders are made here) and the
// folder itself.
void RemoveFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  HANDLE find = ::FindFirstFileW((folder + L"*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ::DeleteFileW((folder + found.cFileName).c_str());
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
  }
  ::RemoveDirectoryW(folder.c_str());
}

// Folders of earlier processes whose process has ended.
void RemoveStaleFolders(const std::wstring& component, DWORD self) {
  WIN32_FIND_DATAW found{};
  HANDLE find = ::FindFirstFileW((component + L"*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
      continue;
    const std::wstring name = found.cFileName;
    if (name.empty() || name.size() > 10 || !std::all_of(name.begin(), name.end(), iswdigit)) continue;
    const DWORD pid = static_cast<DWORD>(std::wcstoul(name.c_str(), nullptr, 10));
    if (pid != self && !IsRunning(pid)) RemoveFolder(component + name + L"\\");
  } while (::FindNextFileW(find, &found));
  ::FindClose(find);
}

// Removes this process's folder when the component is unloaded.
struct FolderOwner {
  std::wstring folder;
  ~FolderOwner() {
    if (!folder.empty()) RemoveFolder(folder);
  }
};
FolderOwner g_owner;
std::mutex g_folderLock;

std::wstring Hex(unsigned long long value) {
  wchar_t text[20];
  std::swprintf(text, 20, L"%016llx", value);
  return text;
}

}  // namespace

std::wstring LocalPath(const std::wstring& source) {
  std::wstring path = source;
  // Surrounding blanks of an attribute value are not part of it.
  while (!path.empty() && (path.back() == L' ' || path.back() == L'\t')) path.pop_back();
  std::size_t first = 0;
  while (first < path.size() && (path[first] == L' ' || path[first] == L'\t')) ++first;
  path.erase(0, first);
  if (path.size() < 4 || path.size() >= MAX_PATH) return std::wstring();
  const wchar_t drive = static_cast<wchar_t>(path[0] | 0x20);
  if (drive < L'a' || drive > L'z' || path[1] != L':' || (path[2] != L'\\' && path[2] != L'/')) return std::wstring();
  std::replace(path.begin(), path.end(), L'/', L'\\');
  for (std::size_t i = 0; i < path.size(); ++i) {
    const wchar_t c = path[i];
    if (c < 0x20 || c == L'*' || c == L'?' || c == L'"' || c == L'<' || c == L'>' || c == L'|') return std::wstring();
    if (c == L':' && i != 1) return std::wstring();
  }
  // Components: none empty, none "." or "..", none ending in a dot or blank.
  std::size_t start = 3;
  while (start <= path.size()) {
    std::size_t end = path.find(L'\\', start);
    if (end == std::wstring::npos) end = path.size();
    const std::wstring part = path.substr(start, end - start);
    if (part.empty() || part == L"." || part == L".." || part.back() == L'.' || part.back() == L' ')
      return std::wstring();
    start = end + 1;
  }
  wchar_t full[MAX_PATH + 1];
  const DWORD length = ::GetFullPathNameW(path.c_str(), MAX_PATH + 1, full, nullptr);
  if (length == 0 || length > MAX_PATH || std::wstring(full, length) != path) return std::wstring();
  return path;
}

bool MayShow(const std::wstring& path, Trust trust) {
  if (path.empty() || LocalPath(path) != path) return false;
  const std::wstring lower = Lower(path);
  const std::size_t dot = lower.rfind(L'.');
  if (dot == std::wstring::npos || lower.find(L'\\', dot) != std::wstring::npos) return false;
  const std::wstring extension = lower.substr(dot);
  if (std::none_of(std::begin(kExtensions), std::end(kExtensions),
                   [&](const wchar_t* known) { return extension == known; }))
    return false;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
  if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE))
    return false;
  const ULONGLONG size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  if (size == 0 || size > kMaxPictureBytes) return false;
  if (trust == Trust::Editor) return true;
  if (StartsWithFolder(lower, TempFolder())) return true;
  const CString host = Seams::GetHostExePath();
  const int slash = host.ReverseFind('\\');
  if (slash >= 0) {
    const std::wstring faces = CodePage::AnsiToWide(host.Left(slash + 1)) + L"Images\\Face\\";
    if (StartsWithFolder(lower, faces)) return true;
  }
  std::lock_guard<std::mutex> guard(g_userLock);
  return g_userPictures.count(lower) != 0;
}

void RegisterUserPicture(const std::wstring& path) {
  if (path.empty()) return;
  std::lock_guard<std::mutex> guard(g_userLock);
  g_userPictures.insert(Lower(path));
}

std::wstring TempFolder() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) return std::wstring();
  return WithBackslash(std::wstring(buffer, length));
}

std::wstring ProcessFolder() {
  std::lock_guard<std::mutex> guard(g_folderLock);
  if (!g_owner.folder.empty()) {
    if (::GetFileAttributesW(g_owner.folder.c_str()) == INVALID_FILE_ATTRIBUTES)
      ::CreateDirectoryW(g_owner.folder.c_str(), nullptr);
    return g_owner.folder;
  }
  const std::wstring temp = TempFolder();
  if (temp.empty()) return std::wstring();
  const std::wstring component = temp + L"OrbHtmlEdit\\";
  ::CreateDirectoryW(component.c_str(), nullptr);
  const DWORD pid = ::GetCurrentProcessId();
  RemoveStaleFolders(component, pid);
  const std::wstring folder = component + std::to_wstring(pid) + L"\\";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  const DWORD attributes = ::GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return std::wstring();
  g_owner.folder = folder;
  return folder;
}

bool ReadFile(const std::wstring& path, std::string& bytes, std::size_t maxBytes) {
  bytes.clear();
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool ok = ::GetFileSizeEx(file, &size) && size.QuadPart >= 0 && static_cast<ULONGLONG>(size.QuadPart) <= maxBytes;
  if (ok) {
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    ok = bytes.empty() || (::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                           read == bytes.size());
  }
  ::CloseHandle(file);
  if (!ok) bytes.clear();
  return ok;
}

std::wstring StorePicture(const std::string& bytes, const std::wstring& extension) {
  if (bytes.empty() || bytes.size() > kMaxPictureBytes) return std::wstring();
  const std::wstring folder = ProcessFolder();
  if (folder.empty()) return std::wstring();
  // FNV-1a over the content names the file; a different file under the same
  // name (a collision) gets a numbered name.
  unsigned long long hash = 1469598103934665603ull;
  for (char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  const std::wstring stem = folder + Hex(hash) + L"-" + std::to_wstring(bytes.size());
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::wstring path = stem + (attempt ? L"-" + std::to_wstring(attempt) : std::wstring()) + extension;
    std::string existing;
    if (ReadFile(path, existing, bytes.size())) {
      if (existing == bytes) return path;
      continue;
    }
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) continue;
    DWORD written = 0;
    const bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    ::CloseHandle(file);
    if (ok) return path;
    ::DeleteFileW(path.c_str());
    return std::wstring();
  }
  return std::wstring();
}

}  // namespace PictureSources
