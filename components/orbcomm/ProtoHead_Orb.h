#pragma once
// The protocol head the host lends to the chat module with the session object:
// which server the client talks to and how it introduces itself. The embedded
// local server needs none of it; a network transport would.
#include "CString.h"

struct ProtoHead_Orb {
  CString m_strServerName = "local";  // "local": the embedded server of this process
  CString m_strClientName = "OrbChat";
  CString m_strClientVersion = "1.0";
};
