#include "CDemoSession.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "CDemoProfile.h"
#include "CodePage.h"
#include "Seams.h"

namespace {

constexpr const char* kHostIni =
    "; OrbChat 演示宿主的设置\r\n"
    "[System]\r\n"
    "GroupMsgHead=g\r\n"
    "[Chat]\r\n"
    "defaultObjTag=2\r\n"
    "[orburl]\r\n"
    "RegisterGroup=join.html?uid=$userid&name=$username&flag=$userflag\r\n"
    "[Server]\r\n"
    "; 空：内置服务器；mqtt://主机:端口（仅限本机）或 mqtts://主机:端口：MQTT 服务器\r\n"
    "Address=\r\n"
    "CAFile=\r\n";

// The login record of a demo person with files in profileDir.
InfoLoginInfoStruct LoginOf(const DemoPerson& user, const CString& profileDir) {
  InfoLoginInfoStruct who;
  who.m_strUserID = CString(user.memberId).Mid(1);
  who.m_strAlias = user.name;
  who.m_strRole = user.role;
  who.m_strRoleCodes = CDemoProfile::RoleCodes();
  who.m_strProfileDir = profileDir;
  return who;
}

CString IniText(const char* section, const char* key, const CString& path) {
  char value[512] = {};
  ::GetPrivateProfileStringA(section, key, "", value, sizeof value, path);
  return CString(value).Trim();
}

CString WithExtension(const char* extension) {
  CString path = Seams::GetHostExePath();
  const int slash = path.ReverseFind('\\');
  const int dot = path.ReverseFind('.');
  if (dot > slash) path = path.Left(dot);
  return path + extension;
}

bool ReadFile(const CString& path, std::string& text) {
  std::ifstream in(std::filesystem::path(CodePage::AnsiToWide(path)), std::ios::binary);
  if (!in) return false;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  text = bytes.str();
  return true;
}

// Writes a new file; an existing one is never replaced.
bool WriteNewFile(const CString& path, const CString& text) {
  HANDLE file = ::CreateFileW(CodePage::AnsiToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_EXISTS;
  DWORD written = 0;
  const BOOL ok = ::WriteFile(file, text.GetString(), static_cast<DWORD>(text.GetLength()), &written, nullptr);
  ::CloseHandle(file);
  return ok && written == static_cast<DWORD>(text.GetLength());
}

}  // namespace

CDemoSession::CDemoSession()
    : m_pServer(std::make_unique<COrbLocalServer>()),
      m_pBroker(std::make_unique<COrbMqttServer>()),
      m_pSession(std::make_unique<COrbHttp_Protocol_Orb>()) {
  m_webHead.m_strBaseURL = "http://www.example.com/orbchat/";
}

// The sessions go before the server they are linked to.
CDemoSession::~CDemoSession() {
  m_pRemote.reset();
  m_pSession.reset();
  m_pServer.reset();
}

CString CDemoSession::HostXmlPath() { return WithExtension(".xml"); }
CString CDemoSession::HostIniPath() { return WithExtension(".ini"); }

bool CDemoSession::PrepareHostFiles(CString& error) {
  const CString xmlPath = HostXmlPath();
  const CString iniPath = HostIniPath();
  if (!WriteNewFile(xmlPath, m_pServer->MakePoolXml()) || !WriteNewFile(iniPath, kHostIni)) {
    error.Format("无法在程序旁写入宿主文件 %s 或 %s。\r\n请检查该文件夹是否可写。", xmlPath.GetString(),
                 iniPath.GetString());
    return false;
  }
  std::string xml;
  if (!ReadFile(xmlPath, xml) || !m_pServer->LoadPools(CString(xml))) {
    error.Format("宿主 XML 文件 %s 中没有消息池名称。\r\n删除该文件后重新运行即可重建。", xmlPath.GetString());
    return false;
  }
  char head[64] = {};
  ::GetPrivateProfileStringA("System", "GroupMsgHead", "g", head, sizeof head, iniPath);
  m_pServer->SetGroupMsgHead(head);
  m_pBroker->LoadPools(CString(xml));
  m_pBroker->SetGroupMsgHead(head);
  m_pBroker->SetCAFile(IniText("Server", "CAFile", iniPath));
  return true;
}

CString CDemoSession::ConfiguredServer() { return IniText("Server", "Address", HostIniPath()); }

bool CDemoSession::StartMqtt(const CString& address, const CString& profileDir, const DemoPerson& user,
                             CString& error) {
  CString why;
  if (!m_pBroker->SetAddress(address, why) || !m_pBroker->CheckAddress(why)) {
    error = why;
    return false;
  }
  InfoLoginInfoStruct who = LoginOf(user, profileDir);
  if (!m_pSession->Login(who, why)) {
    error.Format("无法登录演示用户 %s（%s）：%s", user.name, user.memberId, why.GetString());
    return false;
  }
  const CString settings = m_pSession->GetUserCustomFileName();
  m_pSession->GetLoginInfo()->m_strPassword = IniText("Login", "Password", settings);
  if (m_pSession->GetLoginInfo()->m_strPassword.IsEmpty()) {
    error.Format("没有 %s 在服务器上的密码。\r\n请在 %s 的 [Login] 节写入 Password=密码。", user.name,
                 settings.GetString());
    return false;
  }
  if (!m_pSession->Link(m_pBroker.get(), why)) {
    error.Format("无法连接服务器 %s：%s", address.GetString(), why.GetString());
    return false;
  }
  m_bMqtt = true;
  return true;
}

bool CDemoSession::Start(const CString& profileDir, const DemoPerson& user, CString& error, const char* remoteId) {
  for (const DemoCommunity& c : CDemoProfile::Communities())
    m_pServer->AddCommunity(c.groupId, c.name, c.description ? c.description : "", c.members);
  // One person answers in the communities, the others echo personal messages.
  const char* groupPeer = CString(user.memberId) == "c1004" ? "c1003" : "c1004";
  for (const DemoPerson& person : CDemoProfile::People()) {
    if (CString(person.memberId) == user.memberId) continue;
    if (remoteId && CString(person.memberId) == remoteId) {
      m_pRemote = std::make_unique<CDemoRemoteUser>();
      if (!m_pRemote->Start(*m_pServer, profileDir, person, error)) return false;
      continue;
    }
    if (CString(person.memberId) == groupPeer)
      m_pServer->AddGroupPeer(person.memberId, person.name);
    else
      m_pServer->AddEchoPeer(person.memberId, person.name);
  }
  InfoLoginInfoStruct who = LoginOf(user, profileDir);
  CString why;
  if (!m_pSession->Login(who, why) || !m_pSession->Link(m_pServer.get(), why)) {
    error.Format("无法登录演示用户 %s（%s）：%s", user.name, user.memberId, why.GetString());
    return false;
  }
  return true;
}
