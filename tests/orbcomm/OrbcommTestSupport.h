#pragma once
// Shared by the Orbcomm tests: request bodies
// written the way the chat module writes them, and a reader of received texts
// that parses them the way the chat module does.
#include <windows.h>

#include <json/json.h>

#include <memory>
#include <string>
#include <vector>

#include "COrbHttp_Protocol_Orb.h"
#include "COrbLocalServer.h"
#include "CTestFolder.h"
#include "CString.h"

namespace orbtest {

// The default pool names of the server side.
inline constexpr char kReq505[] = "orb.chat.req";
inline constexpr char kAns505[] = "orb.chat.ans";
inline constexpr char kReq506[] = "orb.group.req";
inline constexpr char kAns506[] = "orb.group.ans";
inline constexpr char kAns5[] = "orb.sys.ans";

// Code page 936 text to UTF-8 and the module's percent-encoding.
std::string Encoded(const CString& ansi);

// Request bodies as the senders build them: pairs in fixed order, encoded
// values escaped, optional pairs left out when empty.
class Body {
 public:
  Body& Raw(const char* key, const CString& value);
  Body& Enc(const char* key, const CString& value);
  Body& EncIfAny(const char* key, const CString& value);
  CString Text() const { return CString(m_strText); }
  operator CString() const { return Text(); }  // NOLINT

 private:
  void Add(const char* key, const std::string& value);
  std::string m_strText;
};

CString Application(const CString& threadId, const CString& members, const CString& alias = "");
CString Personal(const CString& threadId, const CString& abstract, const CString& body, const CString& alias = "");
CString Group(const CString& groupId, const CString& abstract, const CString& body, const CString& alias = "");

struct Received {
  unsigned pushId = 0;
  std::string text;
  Json::Value json;
  bool parsed = false;
  // A string value as the module takes it (no conversion); "" when absent.
  CString Str(const char* key) const;
  bool Has(const char* key) const { return parsed && json.isMember(key) && !json[key].isNull(); }
  int Code() const { return Has("issuccessful") ? json["issuccessful"].asInt() : 0; }
  // errorinfo converted from UTF-8 to code page 936.
  CString ErrorInfo() const;
};

// Pops a pool until it is empty (at most limit texts).
std::vector<Received> PopAll(COrbHttp_Protocol_Orb& session, const CString& pool, int limit = 100000);

// A logged-in, linked user of the server, files in folder.
std::unique_ptr<COrbHttp_Protocol_Orb> Connect(COrbLocalServer& server, const CString& folder, const char* userId,
                                               const char* alias, const char* role = "c");

}  // namespace orbtest
