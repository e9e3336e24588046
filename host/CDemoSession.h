#pragma once
// Everything the demo host owns and lends to the chat module: the embedded
// chat server with the demo's communities and simulated peers, the logged-in
// user's session object, and the two protocol heads. The host's XML and INI
// files beside the executable are written when missing and read when
// present, so that the server and the module agree on the pool names and the
// community thread prefix.
#include <memory>

#include "CDemoRemoteUser.h"
#include "COrbHttp_Protocol_Orb.h"
#include "COrbLocalServer.h"
#include "COrbMqttServer.h"
#include "CString.h"
#include "ProtoHead_Orb.h"
#include "tagWEB_PROTOCOL_HEAD.h"

struct DemoPerson;

class CDemoSession {
 public:
  CDemoSession();
  ~CDemoSession();
  CDemoSession(const CDemoSession&) = delete;
  CDemoSession& operator=(const CDemoSession&) = delete;

  // The host's files: the executable's path with ".xml" and ".ini".
  static CString HostXmlPath();
  static CString HostIniPath();
  // Writes the missing host files and takes the pool names and the thread
  // prefix from them. False with a message when a file cannot be written or
  // names no pools.
  bool PrepareHostFiles(CString& error);

  // Registers the communities and makes every other demo person a simulated
  // peer of the server, then logs user in against the profile folder and
  // links the session. With remoteId, that person is not a peer but a user
  // on another machine (RemoteUser()) who writes first. False with a message
  // when a login fails.
  bool Start(const CString& profileDir, const DemoPerson& user, CString& error, const char* remoteId = nullptr);
  // The MQTT broker named by the host INI file ([Server] Address), "" when
  // the embedded server is wanted.
  static CString ConfiguredServer();
  // Logs user in and links the session to the MQTT broker at address (an
  // mqtt:// or mqtts:// URL) instead of the embedded server: no simulated
  // peers, the other people are real hosts. The password is the Password
  // of section [Login] in the user's settings file (<profile>\<id>.ini).
  // False with a message when the address, the password or the login is
  // wrong; a broker that cannot be reached is no error (the session keeps
  // trying and reports it through PopNotice).
  bool StartMqtt(const CString& address, const CString& profileDir, const DemoPerson& user, CString& error);
  bool IsMqtt() const { return m_bMqtt; }
  COrbMqttServer& Broker() { return *m_pBroker; }
  // The person on another machine, or null.
  CDemoRemoteUser* RemoteUser() { return m_pRemote.get(); }

  COrbLocalServer& Server() { return *m_pServer; }
  COrbHttp_Protocol_Orb& Session() { return *m_pSession; }
  tagWEB_PROTOCOL_HEAD& WebHead() { return m_webHead; }
  ProtoHead_Orb& ProtoHead() { return m_protoHead; }

 private:
  std::unique_ptr<COrbLocalServer> m_pServer;
  std::unique_ptr<COrbMqttServer> m_pBroker;
  bool m_bMqtt = false;
  std::unique_ptr<COrbHttp_Protocol_Orb> m_pSession;
  std::unique_ptr<CDemoRemoteUser> m_pRemote;
  tagWEB_PROTOCOL_HEAD m_webHead;
  ProtoHead_Orb m_protoHead;
};
