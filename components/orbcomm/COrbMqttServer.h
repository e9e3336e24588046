#pragma once
// An MQTT broker as the session's server, for people on different machines:
// where the broker is, whether the connection is encrypted, and the pool
// names and community thread prefix the module uses (the same as the
// embedded server's). Sessions linked to it (COrbHttp_Protocol_Orb::Link)
// each open a connection of their own as their user; the object only holds
// settings and may be shared. Topics, access rules and the settings keys
// are described in README.md.
//
//   COrbMqttServer broker;
//   CString error;
//   if (!broker.SetAddress("mqtts://chat.example.com:8883", error)) { ... }
//   broker.SetCAFile("C:\\OrbChat\\ca.pem");
//   session.Link(&broker, error);   // the user's password is in the login record
#include <memory>

#include "CString.h"
#include "OrbcommApi.h"

class COrbHttp_Protocol_Orb;

class ORBCOMM_API COrbMqttServer {
 public:
  COrbMqttServer();
  ~COrbMqttServer();
  COrbMqttServer(const COrbMqttServer&) = delete;
  COrbMqttServer& operator=(const COrbMqttServer&) = delete;

  // "mqtt://host[:port]" (plain, port 1883 by default) or
  // "mqtts://host[:port]" (TLS, port 8883 by default). False with a message
  // for anything else.
  bool SetAddress(const CString& url, CString& error);
  void SetBroker(const CString& host, int port, bool tls);
  CString GetHost() const;
  int GetPort() const;
  bool IsTls() const;
  // The CA certificate (PEM) the broker's certificate must be signed by;
  // empty: OpenSSL's default locations.
  void SetCAFile(const CString& path);
  // Plain connections carry passwords and messages readable on the way, so
  // they are allowed to the loopback address only (tests, a broker on the
  // same machine); false with a message otherwise.
  bool CheckAddress(CString& error) const;

  // Pool names, as COrbLocalServer's.
  void SetPool(const CString& code, const CString& reqPool, const CString& ansPool);
  CString GetRequestPool(const CString& code) const;
  CString GetAnswerPool(const CString& code) const;
  bool LoadPools(const CString& xmlText);
  CString MakePoolXml() const;
  // Prefix of community thread keys ("g" by default).
  void SetGroupMsgHead(const CString& head);
  CString GetGroupMsgHead() const;
  // First level of every topic ("orbchat" by default).
  void SetTopicRoot(const CString& root);
  // Delays between connection attempts: the first, doubled after each
  // failure up to the longest (defaults 500 ms and 30 s).
  void SetRetryDelays(int shortestMs, int longestMs);

 private:
  friend class COrbHttp_Protocol_Orb;
  struct Impl;
  std::unique_ptr<Impl> m_pImpl;
};
