// winsock2.h must come before windows.h.
#include <winsock2.h>

#include "MqttConnection.h"

#include <mosquitto.h>
#include <mqtt_protocol.h>

#include <algorithm>
#include <mutex>

#include "SrwGuard.h"

namespace {

// Most messages sent per turn of the loop, so that a long outbox does not
// keep the thread from reading.
const size_t kSendBurst = 64;

sockaddr_in LoopbackAddress(unsigned short port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = port;
  return address;
}

void InitLibraryOnce() {
  static std::once_flag once;
  std::call_once(once, [] { mosquitto_lib_init(); });
}

}  // namespace

MqttConnection::MqttConnection(Listener& listener) : m_listener(listener) {}

MqttConnection::~MqttConnection() { Stop(); }

bool MqttConnection::Start(const MqttConnectionSettings& settings, CString& error) {
  Stop();
  InitLibraryOnce();
  m_settings = settings;
  m_bStop = false;
  m_listNewOutgoing.clear();
  m_listNewFilters.clear();
  m_listOutgoing.clear();
  m_setFilters.clear();
  m_mapMidToSeq.clear();
  // A datagram socket on the loopback address wakes the thread out of its
  // wait when there is something to send.
  m_wakeReader = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  m_wakeWriter = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  sockaddr_in address = LoopbackAddress(0);
  int length = sizeof address;
  u_long nonBlocking = 1;
  if (m_wakeReader == INVALID_SOCKET || m_wakeWriter == INVALID_SOCKET ||
      bind(m_wakeReader, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      getsockname(m_wakeReader, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
      ioctlsocket(m_wakeReader, FIONBIO, &nonBlocking) != 0) {
    error = "无法建立网络连接所需的本机套接字";
    Stop();
    return false;
  }
  m_nWakePort = address.sin_port;
  m_nRetryMs = std::max(50, m_settings.retryMinMs);
  m_nRetryAt = 0;
  try {
    m_thread = std::thread(&MqttConnection::Run, this);
  } catch (...) {
    error = "无法启动网络连接线程";
    Stop();
    return false;
  }
  return true;
}

void MqttConnection::Stop() {
  {
    ExclusiveGuard guard(m_lock);
    m_bStop = true;
  }
  Wake();
  if (m_thread.joinable()) m_thread.join();
  if (m_wakeReader != INVALID_SOCKET) closesocket(m_wakeReader);
  if (m_wakeWriter != INVALID_SOCKET) closesocket(m_wakeWriter);
  m_wakeReader = m_wakeWriter = INVALID_SOCKET;
}

void MqttConnection::Publish(long long seq, const std::string& topic, const std::string& payload) {
  {
    ExclusiveGuard guard(m_lock);
    m_listNewOutgoing.push_back({seq, topic, payload, 0});
  }
  Wake();
}

void MqttConnection::Subscribe(const std::string& filter) {
  {
    ExclusiveGuard guard(m_lock);
    m_listNewFilters.push_back(filter);
  }
  Wake();
}

void MqttConnection::Wake() {
  if (m_wakeWriter == INVALID_SOCKET) return;
  const char byte = 1;
  const sockaddr_in address = LoopbackAddress(m_nWakePort);
  sendto(m_wakeWriter, &byte, 1, 0, reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

void MqttConnection::Run() {
  for (;;) {
    {
      ExclusiveGuard guard(m_lock);
      if (m_bStop) break;
    }
    TakeCommands();
    const ULONGLONG now = GetTickCount64();
    if (!m_pMosq && now >= m_nRetryAt) Attempt();
    if (m_pMosq && !m_bConnected && now - m_nAttemptAt > static_cast<ULONGLONG>(m_settings.connectTimeoutMs))
      Drop("连接服务器超时");
    if (m_bConnected) SendPending();
    DWORD wait = 1000;
    if (!m_pMosq) wait = static_cast<DWORD>(std::min<ULONGLONG>(1000, m_nRetryAt > now ? m_nRetryAt - now : 0));
    Wait(wait);
    if (m_pMosq) {
      const int rc = mosquitto_loop(m_pMosq, 0, 1);
      if (m_bLost) {
        Drop(m_strLostNotice);
      } else if (rc != MOSQ_ERR_SUCCESS && rc != MOSQ_ERR_CONN_PENDING) {
        CString notice;
        if (m_bConnected)
          notice = "与服务器的连接已断开";
        else  // a TLS handshake that failed, for one
          notice.Format("无法连接服务器 %s:%d（%s）", m_settings.host.c_str(), m_settings.port, mosquitto_strerror(rc));
        Drop(notice);
      }
    }
    m_listener.OnTurnEnd();
  }
  if (m_pMosq) {
    if (m_bConnected) {
      mosquitto_disconnect_v5(m_pMosq, MQTT_RC_NORMAL_DISCONNECTION, nullptr);
      mosquitto_loop(m_pMosq, 0, 1);
    }
    mosquitto_destroy(m_pMosq);
    m_pMosq = nullptr;
  }
  m_bConnected = false;
  m_listener.OnTurnEnd();
}

void MqttConnection::TakeCommands() {
  std::deque<Outgoing> outgoing;
  std::deque<std::string> filters;
  {
    ExclusiveGuard guard(m_lock);
    outgoing.swap(m_listNewOutgoing);
    filters.swap(m_listNewFilters);
  }
  for (Outgoing& item : outgoing) m_listOutgoing.push_back(std::move(item));
  for (const std::string& filter : filters) {
    if (!m_setFilters.insert(filter).second) continue;
    if (m_bConnected) mosquitto_subscribe_v5(m_pMosq, nullptr, filter.c_str(), 1, MQTT_SUB_OPT_NO_LOCAL, nullptr);
  }
}

void MqttConnection::Attempt() {
  m_nAttemptAt = GetTickCount64();
  m_bLost = false;
  m_strLostNotice.Empty();
  m_pMosq = mosquitto_new(m_settings.clientId.c_str(), false, this);
  if (!m_pMosq) {
    Drop("无法建立 MQTT 客户端");
    return;
  }
  mosquitto_int_option(m_pMosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V5);
  // Chat messages are small and wanted at once: without this, small packets
  // wait for the acknowledgement of the one before (tens of milliseconds).
  mosquitto_int_option(m_pMosq, MOSQ_OPT_TCP_NODELAY, 1);
  mosquitto_connect_v5_callback_set(m_pMosq, &MqttConnection::OnConnect);
  mosquitto_disconnect_v5_callback_set(m_pMosq, &MqttConnection::OnDisconnect);
  mosquitto_publish_v5_callback_set(m_pMosq, &MqttConnection::OnPublish);
  mosquitto_message_v5_callback_set(m_pMosq, &MqttConnection::OnMessage);
  mosquitto_username_pw_set(m_pMosq, m_settings.username.c_str(), m_settings.password.c_str());
  int rc = MOSQ_ERR_SUCCESS;
  if (m_settings.tls) {
    if (m_settings.caFile.empty())
      mosquitto_int_option(m_pMosq, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
    else
      rc = mosquitto_tls_set(m_pMosq, m_settings.caFile.c_str(), nullptr, nullptr, nullptr, nullptr);
    if (rc != MOSQ_ERR_SUCCESS) {
      Drop("无法读取服务器的 CA 证书文件");
      return;
    }
  }
  // The session outlives the connection for good: the broker keeps every
  // message for the user while the user is away. The blocking connect of
  // the library is the only one that takes properties; with an invalid port
  // it only records them, and the asynchronous connect below sends them.
  mosquitto_property* properties = nullptr;
  mosquitto_property_add_int32(&properties, MQTT_PROP_SESSION_EXPIRY_INTERVAL, 0xFFFFFFFFu);
  mosquitto_connect_bind_v5(m_pMosq, m_settings.host.c_str(), -1, m_settings.keepAliveSeconds, nullptr, properties);
  mosquitto_property_free_all(&properties);
  rc = mosquitto_connect_bind_async(m_pMosq, m_settings.host.c_str(), m_settings.port, m_settings.keepAliveSeconds,
                                    nullptr);
  if (rc != MOSQ_ERR_SUCCESS && rc != MOSQ_ERR_CONN_PENDING) {
    CString notice;
    notice.Format("无法连接服务器 %s:%d（%s）", m_settings.host.c_str(), m_settings.port, mosquitto_strerror(rc));
    Drop(notice);
  }
}

void MqttConnection::SendPending() {
  size_t sent = 0;
  for (auto it = m_listOutgoing.begin(); it != m_listOutgoing.end() && sent < kSendBurst;) {
    if (it->mid != 0) {
      ++it;
      continue;
    }
    int mid = 0;
    const int rc = mosquitto_publish_v5(m_pMosq, &mid, it->topic.c_str(), static_cast<int>(it->payload.size()),
                                        it->payload.data(), 1, false, nullptr);
    if (rc == MOSQ_ERR_SUCCESS) {
      it->mid = mid;
      m_mapMidToSeq[mid] = it->seq;
      ++sent;
      ++it;
    } else if (rc == MOSQ_ERR_OVERSIZE_PACKET || rc == MOSQ_ERR_PAYLOAD_SIZE || rc == MOSQ_ERR_INVAL ||
               rc == MOSQ_ERR_MALFORMED_UTF8) {
      // This message can never be sent; the others can.
      const long long seq = it->seq;
      it = m_listOutgoing.erase(it);
      m_listener.OnPublished(seq, -1, rc == MOSQ_ERR_OVERSIZE_PACKET || rc == MOSQ_ERR_PAYLOAD_SIZE
                                          ? CString("消息超过了服务器允许的长度")
                                          : CString("消息的主题无效"));
    } else {
      return;  // the connection is going; everything waits for the next one
    }
  }
  if (sent == kSendBurst) Wake();
}

void MqttConnection::Wait(DWORD ms) {
  fd_set readable, writable, failed;
  FD_ZERO(&readable);
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(m_wakeReader, &readable);
  const int sock = m_pMosq ? mosquitto_socket(m_pMosq) : -1;
  if (sock >= 0) {
    FD_SET(static_cast<SOCKET>(sock), &readable);
    FD_SET(static_cast<SOCKET>(sock), &failed);
    if (mosquitto_want_write(m_pMosq)) FD_SET(static_cast<SOCKET>(sock), &writable);
  }
  timeval timeout{static_cast<long>(ms / 1000), static_cast<long>((ms % 1000) * 1000)};
  if (select(0, &readable, &writable, &failed, &timeout) <= 0) return;
  if (FD_ISSET(m_wakeReader, &readable)) {
    char bytes[64];
    while (recv(m_wakeReader, bytes, sizeof bytes, 0) > 0) {
    }
  }
  // A connection the system refused shows here (not as readable or
  // writable) on Windows.
  if (sock >= 0 && FD_ISSET(static_cast<SOCKET>(sock), &failed)) {
    CString notice;
    notice.Format("无法连接服务器 %s:%d", m_settings.host.c_str(), m_settings.port);
    m_bLost = true;
    m_strLostNotice = notice;
  }
}

void MqttConnection::Drop(const CString& notice) {
  const bool wasConnected = m_bConnected;
  if (m_pMosq) mosquitto_destroy(m_pMosq);
  m_pMosq = nullptr;
  m_bConnected = false;
  m_bLost = false;
  m_mapMidToSeq.clear();
  for (Outgoing& item : m_listOutgoing) item.mid = 0;
  const ULONGLONG now = GetTickCount64();
  // After a connection that worked the first try comes soon; each failure
  // doubles the wait up to the longest.
  if (wasConnected) m_nRetryMs = std::max(50, m_settings.retryMinMs);
  m_nRetryAt = now + static_cast<ULONGLONG>(m_nRetryMs);
  if (!wasConnected) m_nRetryMs = std::min(std::max(m_settings.retryMinMs, m_settings.retryMaxMs), m_nRetryMs * 2);
  m_listener.OnConnectionLost(notice);
}

void MqttConnection::OnConnect(mosquitto*, void* self, int rc, int, const mosquitto_property*) {
  auto* connection = static_cast<MqttConnection*>(self);
  if (rc != 0) {
    connection->m_bLost = true;
    // The broker answers a wrong password with "not authorised" too.
    const bool login = rc == 4 || rc == 5 || rc == MQTT_RC_BAD_USERNAME_OR_PASSWORD || rc == MQTT_RC_NOT_AUTHORIZED;
    connection->m_strLostNotice = login ? CString("服务器拒绝登录：用户名或密码错误，或没有登录的权限") : RefusalText(rc);
    return;
  }
  connection->m_bConnected = true;
  connection->m_nRetryMs = std::max(50, connection->m_settings.retryMinMs);
  for (const std::string& filter : connection->m_setFilters)
    mosquitto_subscribe_v5(connection->m_pMosq, nullptr, filter.c_str(), 1, MQTT_SUB_OPT_NO_LOCAL, nullptr);
  connection->m_listener.OnConnected();
}

void MqttConnection::OnDisconnect(mosquitto*, void* self, int rc, const mosquitto_property*) {
  auto* connection = static_cast<MqttConnection*>(self);
  if (connection->m_bLost) return;  // the refusal said why
  connection->m_bLost = true;
  if (rc == MQTT_RC_SESSION_TAKEN_OVER)
    connection->m_strLostNotice = "同一用户在别处登录，本连接已被服务器断开";
  else
    connection->m_strLostNotice.Format("与服务器的连接已断开（%s）", rc > 0 && rc < 0x80 ? mosquitto_strerror(rc) : mosquitto_reason_string(rc));
}

void MqttConnection::OnPublish(mosquitto*, void* self, int mid, int reason, const mosquitto_property*) {
  auto* connection = static_cast<MqttConnection*>(self);
  auto found = connection->m_mapMidToSeq.find(mid);
  if (found == connection->m_mapMidToSeq.end()) return;
  const long long seq = found->second;
  connection->m_mapMidToSeq.erase(found);
  // Acknowledgements come nearly in order: the copy is found near the front.
  auto& list = connection->m_listOutgoing;
  auto sent = std::find_if(list.begin(), list.end(), [seq](const Outgoing& item) { return item.seq == seq; });
  if (sent != list.end()) list.erase(sent);
  CString why;
  if (reason >= 0x80) why.Format("服务器拒绝了这条消息：%s", RefusalText(reason).GetString());
  connection->m_listener.OnPublished(seq, reason >= 0x80 ? reason : 0, why);
}

void MqttConnection::OnMessage(mosquitto*, void* self, const mosquitto_message* message, const mosquitto_property*) {
  auto* connection = static_cast<MqttConnection*>(self);
  if (!message || !message->topic) return;
  std::string payload(static_cast<const char*>(message->payload), static_cast<size_t>(std::max(0, message->payloadlen)));
  connection->m_listener.OnMessage(message->topic, payload);
}

CString MqttConnection::RefusalText(int rc) {
  switch (rc) {
    case 4:  // MQTT 3.1.1: bad user name or password
    case MQTT_RC_BAD_USERNAME_OR_PASSWORD:
      return "用户名或密码错误，服务器拒绝登录";
    case 5:  // MQTT 3.1.1: not authorised
    case MQTT_RC_NOT_AUTHORIZED:
      return "没有权限（服务器的访问规则不允许）";
    case MQTT_RC_CLIENTID_NOT_VALID:
      return "服务器不接受这个用户编号";
    case MQTT_RC_SERVER_UNAVAILABLE:
    case MQTT_RC_SERVER_BUSY:
      return "服务器暂时不可用";
    case MQTT_RC_PACKET_TOO_LARGE:
    case MQTT_RC_IMPLEMENTATION_SPECIFIC:
      return "消息超过了服务器允许的长度";
    case MQTT_RC_QUOTA_EXCEEDED:
      return "服务器的消息队列已满";
    default: {
      CString text;
      text.Format("服务器拒绝（%s）", mosquitto_reason_string(rc));
      return text;
    }
  }
}
