#pragma once
// A demo person on another machine: a session of its own, logged in and
// linked to the same embedded chat server, that writes first (the simulated
// peers only answer). The scripted run uses it to send the host's user a
// personal message and a community message.
#include <memory>

#include "COrbHttp_Protocol_Orb.h"
#include "COrbLocalServer.h"
#include "CString.h"

struct DemoPerson;

class CDemoRemoteUser {
 public:
  // Logs person in against the profile folder and links to server.
  bool Start(COrbLocalServer& server, const CString& profileDir, const DemoPerson& person, CString& error);
  // Applies for a thread with the member list once, then sends text in it.
  bool SendPersonal(const CString& members, const CString& text);
  // Sends text to the community groupId.
  bool SendToCommunity(const CString& groupId, const CString& text);
  const CString& MemberId() const { return m_strMemberId; }

 private:
  CString Encoded(const CString& ansi) const;

  COrbLocalServer* m_pServer = nullptr;
  std::unique_ptr<COrbHttp_Protocol_Orb> m_pSession;
  CString m_strMemberId;
  CString m_strAlias;
  CString m_strThreadId;
};
