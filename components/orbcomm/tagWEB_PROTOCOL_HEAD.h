#pragma once
// Where the messenger's web pages live; COrbHttp_Protocol_Web builds addresses
// from it.
#include "CString.h"

struct tagWEB_PROTOCOL_HEAD {
  // Base address that relative texts are resolved against, for example
  // "http://www.example.com/orb/". Empty: only absolute addresses are accepted.
  CString m_strBaseURL;
};
