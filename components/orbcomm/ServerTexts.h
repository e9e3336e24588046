#pragma once
// What the server's side of a session reads from the module and writes back
// to it, the same for the embedded server and the MQTT transport: which
// request a body is, and the JSON answers (values in code page 936 as the
// module takes them over; "errorinfo" in UTF-8).
#include <string>

#include "CString.h"
#include "RequestParser.h"

class ServerTexts {
 public:
  enum class Request { Application, Personal, Group, Malformed };
  // Parses body as a request of the personal pool (a session application
  // or a personal message) or of the group pool (a group message), as far
  // as the pool it came on serves them.
  static Request Read(const CString& body, bool personalPool, bool groupPool, RequestParser::Values& values);
  static CString RawOf(const RequestParser::Values& values, const char* key);
  // A thread, group or member id: not empty, at most 256 bytes, no control
  // bytes.
  static bool IsSafeId(const CString& id);

  static std::string ApplicationAnswer(const CString& threadId);
  // A message taken over: to the sender's push id, without thread_members
  // (so that the module never takes it for a message).
  static std::string Confirmation(const char* code, const CString& msgId, const CString& publishTime,
                                  const CString& threadId);
  static std::string GroupInfo(const CString& groupId, const CString& name, const CString& description,
                               const CString& members);
  static std::string Error(int code, const CString& info);

  // Most members one thread may have.
  static constexpr int kMaxThreadMembers = 1000;
};
