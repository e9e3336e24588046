#pragma once
// The login record of one user. The host fills the first six fields and hands
// the record to COrbHttp_Protocol_Orb::Login, which fills in the file paths
// (all inside the profile folder, named after the user id) and keeps its own
// copy; GetLoginInfo() returns that copy.
#include "CString.h"

struct InfoLoginInfoStruct {
  CString m_strUserID;       // the user id without role code, e.g. "1001"
  CString m_strAlias;        // display name; may be empty
  CString m_strRole = "c";   // the user's role code: one letter put before the user id in member lists
  CString m_strRoleCodes = "c";  // the known role codes, a string of letters
  CString m_strProfileDir;   // folder holding the user's files; created when missing
  CString m_strPassword;     // the user's password at an MQTT broker; unused by the embedded server

  // Filled by Login.
  CString m_strUserFlag;       // user flag for web links: the member id
  CString m_strDataFilePath;   // the local chat database (<profile>\<user id>.dat)
  CString m_strCustomFilePath; // the user settings file (<profile>\<user id>.ini)
  CString m_strMsgFilePath;    // the message store (<profile>\<user id>.msg)
};
