#include "CDemoRemoteUser.h"

#include <windows.h>

#include "CDemoProfile.h"
#include "CodePage.h"
#include "InfoLoginInfoStruct.h"
#include "PercentCodec.h"

bool CDemoRemoteUser::Start(COrbLocalServer& server, const CString& profileDir, const DemoPerson& person,
                            CString& error) {
  m_pServer = &server;
  m_pSession = std::make_unique<COrbHttp_Protocol_Orb>();
  m_strMemberId = person.memberId;
  m_strAlias = person.name;
  InfoLoginInfoStruct who;
  who.m_strUserID = m_strMemberId.Mid(1);
  who.m_strAlias = person.name;
  who.m_strRole = person.role;
  who.m_strRoleCodes = CDemoProfile::RoleCodes();
  who.m_strProfileDir = profileDir;
  CString why;
  if (m_pSession->Login(who, why) && m_pSession->Link(&server, why)) return true;
  error.Format("无法登录远端演示用户 %s：%s", person.name, why.GetString());
  return false;
}

// Request values are code page 936 text sent as UTF-8 and percent-escaped,
// as every client of the server writes them.
CString CDemoRemoteUser::Encoded(const CString& ansi) const {
  return CString(PercentCodec::Encode(CodePage::AnsiToUtf8(ansi)).c_str());
}

bool CDemoRemoteUser::SendPersonal(const CString& members, const CString& text) {
  if (!m_pSession || !m_pServer) return false;
  const CString pool = m_pServer->GetRequestPool("505");
  if (m_strThreadId.IsEmpty()) {
    m_strThreadId.Format("%s%lu", m_pSession->GetSessionID().GetString(), ::GetTickCount());
    const CString apply = "flag=i&thread_id=" + m_strThreadId + "&thread_members=" + members + "&from=" + Encoded(m_strAlias);
    if (m_pSession->Push(pool, apply) == 0) return false;
  }
  const CString message = "flag=d&thread_id=" + m_strThreadId + "&body=" + Encoded(text) + "&abstract=" + Encoded(text) +
                          "&body_type=&from=" + Encoded(m_strAlias);
  return m_pSession->Push(pool, message) != 0;
}

bool CDemoRemoteUser::SendToCommunity(const CString& groupId, const CString& text) {
  if (!m_pSession || !m_pServer) return false;
  const CString message = "flag=d&group_id=" + groupId + "&body=" + Encoded(text) + "&abstract=" + Encoded(text) +
                          "&body_type=&from=" + Encoded(m_strAlias);
  return m_pSession->Push(m_pServer->GetRequestPool("506"), message) != 0;
}
