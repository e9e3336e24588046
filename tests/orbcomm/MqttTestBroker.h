#pragma once
// The tests' Mosquitto broker (started by the ctest fixture with
// mqtt/broker.sh) seen from a test under Wine: its port, stopping and
// restarting it, and Debian's mosquitto_pub and mosquitto_sub as an
// independent client. Unix programs started from Wine cannot be waited for,
// so every command writes a result file that is waited for here.
//
// Also the session helpers of the broker-backed tests: users logged in
// against a test folder and linked to the broker.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "COrbHttp_Protocol_Orb.h"
#include "COrbMqttServer.h"
#include "CString.h"
#include "OrbcommTestSupport.h"

namespace orbtest {

class MqttTestBroker {
 public:
  // The broker of this test run; false with the reason when it did not start
  // (the caller then skips, saying why).
  static bool Available(std::string& why);
  static int Port();
  // The TLS listener's port, 0 when there is none; a file of the broker's
  // folder by its Windows path (the certificates are tls\ca.crt, the
  // broker's authority, and tls\other-ca.crt, one that signed nothing).
  static int TlsPort();
  static CString File(const char* name);

  // Drops what the broker keeps for the test users c1001 to c1005.
  static bool CleanSessions();
  static bool Stop();
  static bool Restart();

  // Publishes payload (UTF-8) as user; output holds the client's exit status
  // and messages.
  static bool Publish(const char* user, const std::string& topic, const std::string& payload, std::string& output);
  // Makes user's persistent session with a subscription to filter (count 0),
  // or reads count messages of it: "topic payload" per line.
  static bool Subscribe(const char* user, const std::string& filter, int count, std::vector<std::string>& lines);

 private:
  static bool Run(const std::string& arguments, const std::string& resultName, std::string& result, int timeoutMs);
};

// A session of user (member id "c" + userId, password "pw-c" + userId unless
// given) with profile files in folder, linked to the broker. Community 12
// (members c1001, c1002, c1003) is put into its chat database.
std::unique_ptr<COrbHttp_Protocol_Orb> ConnectMqtt(COrbMqttServer& server, const CString& folder, const char* userId,
                                                   const char* alias, const char* password = nullptr,
                                                   const char* community12 = "c1001,c1002,c1003");
// Pops pool until count texts came or timeoutMs passed.
std::vector<Received> PopWithin(COrbHttp_Protocol_Orb& session, const CString& pool, size_t count, int timeoutMs);
// Waits until the session's connection is up.
bool WaitConnected(COrbHttp_Protocol_Orb& session, int timeoutMs);
// Every notice the session has now.
std::vector<CString> Notices(COrbHttp_Protocol_Orb& session);

}  // namespace orbtest
