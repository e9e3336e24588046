#include "messaging/COrbChat_SendGroupMsg.h"

#include <algorithm>

#include "Seams.h"
#include "messaging/MessageBodies.h"
#include "messaging/PoolLookup.h"
#include "messaging/SenderResults.h"
#include "support/FileUtils.h"
#include "support/IniFile.h"

COrbChat_SendGroupMsg::COrbChat_SendGroupMsg(COrbHttp_Protocol_Orb* protocol)
    : m_strType(MessageBodies::kCode506), m_pProtocol(protocol) {
  m_strReqPool = CPoolLookup::LookupHostPool(MessageBodies::kDirectionRequest, m_strType);
  CIniFile ini;
  if (ini.Load(ReplaceExtension(Seams::GetHostExePath(), ".ini"))) {
    ini.GetString("System", "GroupMsgHead", m_strGroupMsgHead);
  }
}

COrbChat_SendGroupMsg::~COrbChat_SendGroupMsg() = default;

void COrbChat_SendGroupMsg::SetGroupId(const CString& groupId) {
  m_strGroupId = groupId;
  m_strThreadKey = m_strGroupMsgHead + groupId;
}

bool COrbChat_SendGroupMsg::OwnsPushId(unsigned pushId) const {
  return pushId != 0 && std::find(m_arrPushIds.begin(), m_arrPushIds.end(), pushId) != m_arrPushIds.end();
}

int COrbChat_SendGroupMsg::Send(const CString& abstract, const CString& body, const CString& bodyType,
                                CString& notice) {
  if (!m_pProtocol) return SenderResult::kNoProtocol;
  // The body is addressed by the group id; a thread key alone (taken from a
  // received message) would send the message to no group at all.
  if (m_strThreadKey.IsEmpty() || m_strGroupId.IsEmpty()) {
    notice = SenderNotice::kNoGroup;
    return SenderResult::kNothingDone;
  }
  const int result = SendRequest(abstract, body, bodyType, notice);
  // A request that never left is not reported as sent.
  if (result == SenderResult::kPoolMissing || result == SenderResult::kPushRefused) return result;
  return SenderResult::kSent;
}

int COrbChat_SendGroupMsg::SendRequest(const CString& abstract, const CString& body, const CString& bodyType,
                                       CString& notice) {
  if (!m_pProtocol) return SenderResult::kRequestNoProtocol;
  if (m_strReqPool.IsEmpty()) {
    notice = SenderNotice::kPoolMissing;
    return SenderResult::kPoolMissing;
  }
  const CString request =
      MessageBodies::GroupMessage(m_strGroupId, abstract, body, bodyType, m_pProtocol->GetMyAlias());
  if (PushRequest(m_strReqPool, request) == 0) {
    notice = SenderNotice::kPushRefused;
    return SenderResult::kPushRefused;
  }
  notice.Empty();
  return SenderResult::kPushed;
}

unsigned COrbChat_SendGroupMsg::PushRequest(const CString& pool, const CString& body) {
  if (!m_pProtocol) return 0;
  const unsigned pushId = m_pProtocol->Push(pool, body);
  if (pushId != 0) m_arrPushIds.push_back(pushId);
  return pushId;
}
