#include "messaging/COrbChat_SendPersonalMsg.h"

#include <algorithm>

#include "Seams.h"
#include "messaging/MessageBodies.h"
#include "messaging/PoolLookup.h"
#include "messaging/SenderResults.h"

COrbChat_SendPersonalMsg::COrbChat_SendPersonalMsg(COrbHttp_Protocol_Orb* protocol)
    : m_strType(MessageBodies::kCode505),
      m_pProtocol(protocol),
      m_nState(kStateNone),
      m_nApplyPushId(0) {
  m_strReqPool = CPoolLookup::LookupHostPool(MessageBodies::kDirectionRequest, m_strType);
}

COrbChat_SendPersonalMsg::~COrbChat_SendPersonalMsg() = default;

bool COrbChat_SendPersonalMsg::OwnsPushId(unsigned pushId) const {
  return pushId != 0 && std::find(m_arrPushIds.begin(), m_arrPushIds.end(), pushId) != m_arrPushIds.end();
}

int COrbChat_SendPersonalMsg::ApplySession(const CString& members, CString& notice) {
  if (!m_pProtocol) return SenderResult::kNoProtocol;
  if (m_nState != kStateNone || members.IsEmpty()) return SenderResult::kNothingDone;
  const CString sessionId = m_pProtocol->GetSessionID();
  if (sessionId.IsEmpty()) {
    notice = SenderNotice::kNoLink;
    m_nState = kStateNone;
    return SenderResult::kNoSessionId;
  }
  // Signed on purpose: after 24.8 days of uptime the number turns negative,
  // and thread ids made that way must stay the same as before.
  CString threadId;
  threadId.Format("%s%d", sessionId.GetString(), static_cast<int>(Seams::GetTickCount()));
  m_strThreadId = threadId;
  m_strMembers = members;
  m_nState = kStateEstablished;
  return SendRequest('i', m_strThreadId, m_strMembers, "", notice);
}

int COrbChat_SendPersonalMsg::Send(const CString& abstract, const CString& body, const CString& bodyType,
                                   CString& notice) {
  if (!m_pProtocol) return SenderResult::kNoProtocol;
  if (m_strThreadId.IsEmpty() || m_nState != kStateEstablished) {
    m_nState = kStateNone;
    return SenderResult::kNothingDone;
  }
  const int result = SendRequest('d', abstract, body, bodyType, notice);
  // A request that never left is not reported as sent.
  if (result == SenderResult::kPoolMissing || result == SenderResult::kPushRefused) return result;
  return SenderResult::kSent;
}

int COrbChat_SendPersonalMsg::SendRequest(char mode, const CString& first, const CString& second,
                                          const CString& third, CString& notice) {
  if (!m_pProtocol) return SenderResult::kRequestNoProtocol;
  const bool personal = mode == 'a' || mode == 'c' || mode == 'd' || mode == 'r';
  if (mode != 'i' && !personal) return SenderResult::kNothingDone;
  if (m_strReqPool.IsEmpty()) {
    notice = SenderNotice::kPoolMissing;
    return SenderResult::kPoolMissing;
  }
  const CString alias = m_pProtocol->GetMyAlias();
  const CString body = personal ? MessageBodies::PersonalMessage(m_strThreadId, first, second, third, alias)
                                : MessageBodies::SessionApplication(first, second, alias);
  const unsigned pushId = PushRequest(m_strReqPool, body);
  if (pushId == 0) {
    notice = SenderNotice::kPushRefused;
    return SenderResult::kPushRefused;
  }
  if (mode == 'i') m_nApplyPushId = pushId;
  notice.Empty();
  return SenderResult::kPushed;
}

unsigned COrbChat_SendPersonalMsg::PushRequest(const CString& pool, const CString& body) {
  if (!m_pProtocol) return 0;
  const unsigned pushId = m_pProtocol->Push(pool, body);
  // 0 is "refused"; recording it would make every unsolicited text (push id
  // 0) look like an answer to this sender.
  if (pushId != 0) m_arrPushIds.push_back(pushId);
  return pushId;
}
