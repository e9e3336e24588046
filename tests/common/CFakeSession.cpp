#include "CFakeSession.h"

CFakeSession::CFakeSession(const char* dataFilePath) {
  if (!dataFilePath) return;
  m_bLoggedIn = true;
  m_login.m_strUserID = m_strUserId;
  m_login.m_strDataFilePath = dataFilePath;
}

unsigned CFakeSession::Push(const CString& pool, const CString& body) {
  m_arrPushed.push_back({pool, body});
  return m_bRefuse ? 0 : ++m_nLastId;
}
