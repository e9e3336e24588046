#include "HostFiles.h"

#include "CodePage.h"
#include "Seams.h"
#include "support/FileUtils.h"

namespace {

int g_nFolderCount = 0;

}  // namespace

CHostFiles::CHostFiles() {
  CString dir;
  dir.Format("%sorb_msg_%lu_%d\\", GetTempDir().GetString(), GetCurrentProcessId(), ++g_nFolderCount);
  m_strDir = dir;
  CreateDirectoryW(CodePage::AnsiToWide(m_strDir).c_str(), nullptr);
  const CString exe = ExePath();
  Seams::SetHostExePath([exe] { return exe; });
}

CHostFiles::~CHostFiles() {
  Seams::SetHostExePath(nullptr);
  for (const CString& path : {XmlPath(), IniPath()}) DeleteFileW(CodePage::AnsiToWide(path).c_str());
  RemoveDirectoryW(CodePage::AnsiToWide(m_strDir).c_str());
}

bool CHostFiles::Write(const CString& path, const std::string& bytes) {
  HANDLE file = CreateFileW(CodePage::AnsiToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

bool CHostFiles::WritePoolXml(const char* personalReq, const char* groupReq) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<message>\r\n";
  xml += "  <msgpool msgtype=\"5\" ans=\"orb.sys.ans\"/>\r\n";
  xml += std::string("  <msgpool msgtype=\"505\" req=\"") + personalReq + "\" ans=\"orb.chat.ans\"/>\r\n";
  xml += std::string("  <msgpool msgtype=\"506\" req=\"") + groupReq + "\" ans=\"orb.group.ans\"/>\r\n";
  xml += "</message>\r\n";
  return Write(XmlPath(), xml);
}
