#pragma once
// The chat manager: a hidden dialog window, created with the host panel and
// living as long as it does. It reads the answer pool names from the host's
// XML file and the community thread prefix from the host's INI file, asks the
// server once for information on every community of the local database, and
// runs the two polling timers. It owns every conversation window.
#include <vector>

#include "CDialog.h"
#include "CString.h"

class COrbChat_Form;
class COrbHttp_Protocol_Orb;

class COrbChat_Mgr : public CDialog {
 public:
  // pProtocol may be null; then nothing is ever polled or looked up.
  explicit COrbChat_Mgr(COrbHttp_Protocol_Orb* pProtocol);
  ~COrbChat_Mgr() override;

  BOOL OnInitDialog() override;
  // The manager's window is never shown; keys that reach it change nothing.
  void OnOK() override {}
  void OnCancel() override {}

  // Pushes one "GetGroupInfo" request per community in the local database
  // (its trimmed id as the body); the push ids are not kept.
  void RequestCommunityInfo();
  // The local chat database: the login record's data file with ".dat"; ""
  // without a server session object or login record.
  CString GetDBPath() const;

  COrbHttp_Protocol_Orb* m_pProtocol;
  CString m_strType5;
  CString m_strType505;
  CString m_strType506;
  CString m_strPool5;
  CString m_strPool505;
  CString m_strPool506;
  int m_nPollInterval = 0;  // milliseconds; set when the window is created
  std::vector<COrbChat_Form*> m_arrForms;
  CString m_strGroupMsgHead = "g";
  CString m_strRoleCodes;
  CString m_strMyRole;

 private:
  void ReadPoolNames();
  void ReadGroupMsgHead();
};
