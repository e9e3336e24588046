#include "messaging/PoolLookup.h"

#include <windows.h>

#include <string>

#include "OrbXmlReader.h"
#include "Seams.h"
#include "support/FileUtils.h"

namespace {

// Closes a file handle when it goes out of scope.
class CFileHandle {
 public:
  explicit CFileHandle(HANDLE handle) : m_hFile(handle) {}
  ~CFileHandle() {
    if (IsValid()) CloseHandle(m_hFile);
  }
  CFileHandle(const CFileHandle&) = delete;
  CFileHandle& operator=(const CFileHandle&) = delete;
  bool IsValid() const { return m_hFile != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return m_hFile; }

 private:
  HANDLE m_hFile;
};

// The whole file as bytes; false when it does not open or cannot be read.
bool ReadWholeFile(const char* path, std::string& out) {
  CFileHandle file(CreateFileW(ToWidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return false;
  LARGE_INTEGER size{};
  // A configuration file of a gigabyte is not one; refuse rather than try.
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > 64 * 1024 * 1024) return false;
  out.resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < out.size()) {
    DWORD read = 0;
    if (!ReadFile(file.Get(), out.data() + done, static_cast<DWORD>(out.size() - done), &read, nullptr)) return false;
    if (read == 0) break;
    done += read;
  }
  out.resize(done);
  return true;
}

}  // namespace

CString CPoolLookup::HostXmlPath() { return ReplaceExtension(Seams::GetHostExePath(), ".xml"); }

bool CPoolLookup::Load() { return LoadFile(HostXmlPath()); }

bool CPoolLookup::LoadFile(const char* path) {
  std::string text;
  m_bLoaded = path && *path && ReadWholeFile(path, text);
  m_strText = m_bLoaded ? CString(text) : CString();
  return m_bLoaded;
}

CString CPoolLookup::Get(const char* direction, const char* code) const {
  if (!m_bLoaded) return CString();
  return COrbXmlReader().GetSpecialStr(m_strText, "message.msgpool", direction, "msgtype", code);
}

CString CPoolLookup::LookupHostPool(const char* direction, const char* code) {
  CPoolLookup lookup;
  lookup.Load();
  return lookup.Get(direction, code);
}
