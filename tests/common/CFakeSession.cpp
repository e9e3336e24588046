#include "CFakeSession.h"

CFakeSession::CFakeSession(const char* dataFilePath) {
  if (!dataFilePath) return;
  m_bLoggedIn = true;
  m_login.m_strUserID = m_strUserId;
  m_login.m_strDataFilePath = dataFilePath;
}

CString CFakeSession::Pop(const CString& pool, unsigned& pushId) {
  pushId = 0;
  auto found = m_mapInbox.find(pool);
  if (found == m_mapInbox.end() || found->second.empty()) return CString();
  const auto [text, id] = found->second.front();
  found->second.pop_front();
  pushId = id;
  return text;
}

unsigned CFakeSession::Push(const CString& pool, const CString& body) {
  m_arrPushed.push_back({pool, body});
  return m_bRefuse ? 0 : ++m_nLastId;
}
