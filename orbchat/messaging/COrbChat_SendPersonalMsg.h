#pragma once
// Sends the messages of a personal conversation or discussion group: a thread
// of members that the server knows by a thread id the client makes up. Before
// the first message of a new conversation it applies for a session (flag "i")
// with a new thread id; messages (flag "d") then go out on that thread, both
// under code "505". Every conversation window owns one.
//
// Results (SenderResults.h): ApplySession gives -1 without a session object,
// 0 when there is nothing to apply for, -2 without a server link, and
// otherwise what SendRequest gives (-1 pushed, -505 no request pool, -3
// refused). Send gives -1 without a session object, 0 without a thread or an
// established session, 1 when pushed, -505 when the request pool is missing
// and -3 when the session object refused the request; the last two come with
// a notice.
#include <vector>

#include "CObject.h"
#include "COrbHttp_Protocol_Orb.h"
#include "CString.h"

class COrbChat_SendPersonalMsg : public CObject {
 public:
  static constexpr int kStateNone = 0;
  static constexpr int kStateEstablished = 2;

  // Looks up the "req" pool of code "505" in the host's XML file.
  explicit COrbChat_SendPersonalMsg(COrbHttp_Protocol_Orb* protocol);
  ~COrbChat_SendPersonalMsg() override;
  COrbChat_SendPersonalMsg(const COrbChat_SendPersonalMsg&) = delete;
  COrbChat_SendPersonalMsg& operator=(const COrbChat_SendPersonalMsg&) = delete;

  void SetThreadId(const CString& threadId) { m_strThreadId = threadId; }
  CString GetThreadId() const { return m_strThreadId; }
  void SetMembers(const CString& members) { m_strMembers = members; }
  CString GetMembers() const { return m_strMembers; }

  // Applies for a session with a new thread id (session id followed by the
  // signed tick count); state becomes established before the push, so the
  // window can send at once.
  int ApplySession(const CString& members, CString& notice);
  // Sends one message on the thread; notice is only written on failure.
  int Send(const CString& abstract, const CString& body, const CString& bodyType, CString& notice);

  // For the chat manager: the session state, the push id of the last
  // application and whether a push id is one of this sender's requests.
  int GetState() const { return m_nState; }
  void MarkSessionEstablished() { m_nState = kStateEstablished; }
  unsigned GetApplyPushId() const { return m_nApplyPushId; }
  bool OwnsPushId(unsigned pushId) const;

  // Members in declaration order. Public because the chat manager reads the
  // state and the application's push id, and sets the state when the
  // server answers.
  CString m_strType;                 // "505", copied into sent records
  CString m_strReqPool;              // "" when not configured
  COrbHttp_Protocol_Orb* m_pProtocol;  // borrowed, may be null
  int m_nState;                      // kStateNone or kStateEstablished
  CString m_strThreadId;
  CString m_strMembers;
  unsigned m_nApplyPushId;           // 0 before any application
  std::vector<unsigned> m_arrPushIds;  // every pushed request, in order

 protected:
  // mode 'i': thread id first, member list second; modes 'a', 'c', 'd', 'r':
  // abstract first, body second, body type third (all sent with flag "d").
  int SendRequest(char mode, const CString& first, const CString& second, const CString& third, CString& notice);
  // The push id, recorded; 0 when there is no session object or it refused.
  unsigned PushRequest(const CString& pool, const CString& body);
};
