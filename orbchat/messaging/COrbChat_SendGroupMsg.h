#pragma once
// Sends the messages of a group (community) conversation under code "506".
// A group needs no session: the server knows it by its id, and the
// conversation's thread key is the group thread prefix of the host's INI file
// followed by that id. Every conversation window owns one.
//
// Results (SenderResults.h): Send gives -1 without a session object, 0 (with
// a notice) without a thread key or group id, 1 when pushed, -505 when the
// request pool is missing and -3 when the session object refused the
// request; the last two come with a notice.
#include <vector>

#include "CObject.h"
#include "COrbHttp_Protocol_Orb.h"
#include "CString.h"

class COrbChat_SendGroupMsg : public CObject {
 public:
  // Looks up the "req" pool of code "506" in the host's XML file and the
  // thread prefix (section "System", key "GroupMsgHead") in its INI file.
  explicit COrbChat_SendGroupMsg(COrbHttp_Protocol_Orb* protocol);
  ~COrbChat_SendGroupMsg() override;
  COrbChat_SendGroupMsg(const COrbChat_SendGroupMsg&) = delete;
  COrbChat_SendGroupMsg& operator=(const COrbChat_SendGroupMsg&) = delete;

  // Sets the group id and the thread key made from it.
  void SetGroupId(const CString& groupId);
  CString GetGroupId() const { return m_strGroupId; }
  // The thread key, set directly (an incoming message carries it).
  void SetThreadId(const CString& threadKey) { m_strThreadKey = threadKey; }
  CString GetThreadId() const { return m_strThreadKey; }
  void SetMembers(const CString& members) { m_strMembers = members; }
  CString GetMembers() const { return m_strMembers; }

  int Send(const CString& abstract, const CString& body, const CString& bodyType, CString& notice);

  bool OwnsPushId(unsigned pushId) const;

  // Members in declaration order.
  CString m_strType;                   // "506", copied into sent records
  COrbHttp_Protocol_Orb* m_pProtocol;  // borrowed, may be null
  CString m_strReqPool;                // "" when not configured
  CString m_strGroupId;
  CString m_strGroupMsgHead;           // "" when the INI file or key is missing
  CString m_strThreadKey;
  CString m_strMembers;
  std::vector<unsigned> m_arrPushIds;  // every pushed request, in order

 protected:
  int SendRequest(const CString& abstract, const CString& body, const CString& bodyType, CString& notice);
  // The push id, recorded; 0 when there is no session object or it refused.
  unsigned PushRequest(const CString& pool, const CString& body);
};
