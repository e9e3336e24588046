#pragma once
// One chat message as the chat module, the server session component and the
// message store exchange it: eleven texts in code page 936, named after the
// JSON keys that carry them from the server.
#include "CString.h"

struct InfoMsgStructer {
  CString abstract;        // plain-text summary
  CString body;            // message body (an MHT document when url is "mht")
  CString from;            // sender's display name
  CString from_id;         // sender's member id (role code and user id)
  CString msg_id;          // message id given by the server
  CString msg_type;        // message code: "505" personal, "506" group
  CString publish_time;    // YYYYMMDDHHMMSS, local time
  CString thread_id;       // personal thread id or community thread key
  CString thread_members;  // member ids joined by ","
  CString title;           // conversation title
  CString url;             // "mht" when body is an MHT document
};
