#include "HostFiles.h"

#include "Seams.h"

CHostFiles::CHostFiles() {
  const CString exe = ExePath();
  Seams::SetHostExePath([exe] { return exe; });
}

CHostFiles::~CHostFiles() { Seams::SetHostExePath(nullptr); }

bool CHostFiles::Write(const CString& path, const std::string& bytes) { return CTestFolder::WriteBytes(path, bytes); }

bool CHostFiles::WritePoolXml(const char* personalReq, const char* groupReq) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<message>\r\n";
  xml += "  <msgpool msgtype=\"5\" ans=\"orb.sys.ans\"/>\r\n";
  xml += std::string("  <msgpool msgtype=\"505\" req=\"") + personalReq + "\" ans=\"orb.chat.ans\"/>\r\n";
  xml += std::string("  <msgpool msgtype=\"506\" req=\"") + groupReq + "\" ans=\"orb.group.ans\"/>\r\n";
  xml += "</message>\r\n";
  return Write(XmlPath(), xml);
}
