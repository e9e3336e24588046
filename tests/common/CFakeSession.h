#pragma once
// A server session object for tests: logged in with a chosen data file (or
// not), with chosen user id, role codes, session id and alias, that records
// every push instead of sending it and answers with push ids counting up
// from m_nLastId (0 for every push while m_bRefuse is set).
#include <deque>
#include <map>
#include <utility>
#include <vector>

#include "COrbHttp_Protocol_Orb.h"
#include "InfoLoginInfoStruct.h"

class CFakeSession : public COrbHttp_Protocol_Orb {
 public:
  struct Pushed {
    CString pool;
    CString body;
  };
  // Logged in with the data file path (null: no login record).
  explicit CFakeSession(const char* dataFilePath = nullptr);

  unsigned Push(const CString& pool, const CString& body) override;
  // Texts the test put into m_mapInbox, first in first out; "" when none.
  CString Pop(const CString& pool, unsigned& pushId) override;
  CString GetSessionID() const override { return m_strSessionId; }
  CString GetMyAlias() const override { return m_strAlias; }
  CString GetUserID() const override { return m_strUserId; }
  CString GetUserIDFlag() const override { return m_strUserFlag; }
  CString GetMyRole() const override { return m_strRole; }
  CString GetRoleCodes() const override { return m_strRoleCodes; }
  InfoLoginInfoStruct* GetLoginInfo() override { return m_bLoggedIn ? &m_login : nullptr; }
  // The login record's settings file (empty unless a test sets it).
  CString GetUserCustomFileName() const override { return m_login.m_strCustomFilePath; }

  std::vector<Pushed> m_arrPushed;
  std::map<CString, std::deque<std::pair<CString, unsigned>>> m_mapInbox;  // pool -> (text, push id)
  CString m_strSessionId = "S";
  CString m_strAlias;
  CString m_strUserId = "1001";
  CString m_strUserFlag = "c1001";
  CString m_strRole = "c";
  CString m_strRoleCodes = " cs ";
  unsigned m_nLastId = 40;
  bool m_bRefuse = false;
  InfoLoginInfoStruct m_login;
  bool m_bLoggedIn = false;
};
