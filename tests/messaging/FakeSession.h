#pragma once
// A server session object that records what is pushed and answers with
// chosen session id, alias and push ids, so the senders' results can be
// checked request by request.
#include <utility>
#include <vector>

#include "COrbHttp_Protocol_Orb.h"

class CFakeSession : public COrbHttp_Protocol_Orb {
 public:
  struct Pushed {
    CString pool;
    CString body;
  };

  unsigned Push(const CString& pool, const CString& body) override {
    m_arrPushed.push_back({pool, body});
    return m_bRefuse ? 0 : ++m_nLastId;
  }
  CString GetSessionID() const override { return m_strSessionId; }
  CString GetMyAlias() const override { return m_strAlias; }

  std::vector<Pushed> m_arrPushed;
  CString m_strSessionId = "S";
  CString m_strAlias;
  unsigned m_nLastId = 40;
  bool m_bRefuse = false;
};
