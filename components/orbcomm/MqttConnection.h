#pragma once
// One client connection to an MQTT broker, driven by a thread of its own so
// that connecting, TLS, reconnection and the socket never hold up the
// caller: Publish and Subscribe only queue and return. libmosquitto is used
// without its own threads; only this connection's thread calls it.
//
// MQTT 5, a persistent session that never expires (the broker keeps what
// arrives for the client while it is away), QoS 1. A published message is
// kept until the broker acknowledges or refuses it, and sent again after
// every reconnection. A lost or refused connection is tried again after a
// delay that doubles from the shortest to the longest.
//
// The listener is called on the connection's thread.
#include <windows.h>

#include <atomic>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <thread>

#include "CString.h"

struct mosquitto;
struct mosquitto_message;
typedef struct mqtt5__property mosquitto_property;

struct MqttConnectionSettings {
  std::string host = "127.0.0.1";
  int port = 1883;
  bool tls = false;
  std::string caFile;   // the broker's CA certificate (PEM); empty: the default locations
  std::string clientId;
  std::string username;
  std::string password;  // UTF-8
  int keepAliveSeconds = 30;
  int retryMinMs = 500;
  int retryMaxMs = 30000;
  int connectTimeoutMs = 10000;
};

class MqttConnection {
 public:
  class Listener {
   public:
    virtual ~Listener() = default;
    virtual void OnConnected() = 0;
    // notice: why the connection ended or could not be made (code page 936).
    virtual void OnConnectionLost(const CString& notice) = 0;
    // reason 0: the broker has the message; otherwise it was refused (an
    // MQTT reason code from 0x80 up, or -1 when it cannot be sent at all)
    // and will not be sent again.
    virtual void OnPublished(long long seq, int reason, const CString& why) = 0;
    virtual void OnMessage(const std::string& topic, const std::string& payload) = 0;
    // After each turn of the loop, which may have brought several of the
    // calls above: the place to store what they brought in one go.
    virtual void OnTurnEnd() = 0;
  };

  explicit MqttConnection(Listener& listener);
  ~MqttConnection();
  MqttConnection(const MqttConnection&) = delete;
  MqttConnection& operator=(const MqttConnection&) = delete;

  // Starts the thread, which connects at once. False when the thread or its
  // wake-up socket cannot be made.
  bool Start(const MqttConnectionSettings& settings, CString& error);
  // Disconnects and ends the thread; what is not acknowledged stays the
  // caller's (in its own store).
  void Stop();

  void Publish(long long seq, const std::string& topic, const std::string& payload);
  // The subscription is made now when connected and after every connection.
  void Subscribe(const std::string& filter);
  bool IsConnected() const { return m_bConnected; }

 private:
  struct Outgoing {
    long long seq;
    std::string topic;
    std::string payload;
    int mid = 0;  // 0: not sent on the current connection
  };

  void Run();
  void TakeCommands();
  void Attempt();
  void SendPending();
  void Wait(DWORD ms);
  void Drop(const CString& notice);
  void Wake();

  static void OnConnect(mosquitto* mosq, void* self, int rc, int flags, const mosquitto_property* props);
  static void OnDisconnect(mosquitto* mosq, void* self, int rc, const mosquitto_property* props);
  static void OnPublish(mosquitto* mosq, void* self, int mid, int reason, const mosquitto_property* props);
  static void OnMessage(mosquitto* mosq, void* self, const mosquitto_message* message, const mosquitto_property* props);
  static CString RefusalText(int rc);

  Listener& m_listener;
  MqttConnectionSettings m_settings;
  std::thread m_thread;
  // Sockets (kept as their handle values, so that users of this header need
  // not include winsock2.h before windows.h).
  UINT_PTR m_wakeReader = ~UINT_PTR{0};
  UINT_PTR m_wakeWriter = ~UINT_PTR{0};
  unsigned short m_nWakePort = 0;  // network order

  // Shared with the callers, under m_lock.
  SRWLOCK m_lock = SRWLOCK_INIT;
  bool m_bStop = false;
  std::deque<Outgoing> m_listNewOutgoing;
  std::deque<std::string> m_listNewFilters;

  // The thread's own.
  mosquitto* m_pMosq = nullptr;
  std::atomic<bool> m_bConnected{false};
  bool m_bLost = false;
  CString m_strLostNotice;
  ULONGLONG m_nAttemptAt = 0;
  ULONGLONG m_nRetryAt = 0;
  int m_nRetryMs = 0;
  std::deque<Outgoing> m_listOutgoing;
  std::map<int, long long> m_mapMidToSeq;
  std::set<std::string> m_setFilters;
};
