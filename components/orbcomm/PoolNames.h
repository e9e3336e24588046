#pragma once
// The pool names of the message codes "5", "505" and "506": the request pool
// a sender pushes to and the answer pool the chat manager pops. The host's
// XML file names them (layout in README.md); the embedded server and the
// MQTT transport must use the same names as the module.
#include <map>

#include "CString.h"

class PoolNames {
 public:
  // The defaults: "5" answers "orb.sys.ans"; "505" orb.chat.req/orb.chat.ans;
  // "506" orb.group.req/orb.group.ans.
  PoolNames();

  // An empty name leaves that direction as it is.
  void Set(const CString& code, const CString& reqPool, const CString& ansPool);
  CString Request(const CString& code) const;
  CString Answer(const CString& code) const;
  // The code whose request pool is pool, "" when none.
  CString CodeOfRequest(const CString& pool) const;

  // Takes the names the host XML text gives; false when it gives none.
  bool Load(const CString& xmlText);
  CString MakeXml() const;

  static const char* const kCodes[3];

 private:
  std::map<CString, std::pair<CString, CString>> m_mapPools;  // code -> (request, answer)
};
