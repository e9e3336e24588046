#include "COrbMqttServer.h"

#include <cstdlib>

#include "MqttServerImpl.h"

COrbMqttServer::COrbMqttServer() : m_pImpl(std::make_unique<Impl>()) {}

COrbMqttServer::~COrbMqttServer() = default;

bool COrbMqttServer::SetAddress(const CString& url, CString& error) {
  CString rest = url;
  rest.Trim();
  bool tls = false;
  if (rest.Left(7).CompareNoCase("mqtt://") == 0) {
    rest = rest.Mid(7);
  } else if (rest.Left(8).CompareNoCase("mqtts://") == 0) {
    rest = rest.Mid(8);
    tls = true;
  } else {
    error.Format("服务器地址 %s 无效：应为 mqtt://主机:端口 或 mqtts://主机:端口", url.GetString());
    return false;
  }
  rest.TrimRight('/');
  int port = tls ? 8883 : 1883;
  const int colon = rest.ReverseFind(':');
  CString host = rest;
  if (colon >= 0 && rest.Find(']') < colon) {
    const CString digits = rest.Mid(colon + 1);
    if (digits.IsEmpty() || digits.GetLength() > 5 || digits.SpanIncluding("0123456789") != digits ||
        (port = std::atoi(digits)) < 1 || port > 65535) {
      error.Format("服务器地址 %s 的端口无效", url.GetString());
      return false;
    }
    host = rest.Left(colon);
  }
  host.Trim("[]");
  if (host.IsEmpty() || host.FindOneOf(" /?#@") >= 0) {
    error.Format("服务器地址 %s 没有有效的主机名", url.GetString());
    return false;
  }
  SetBroker(host, port, tls);
  return true;
}

void COrbMqttServer::SetBroker(const CString& host, int port, bool tls) {
  m_pImpl->connection.host = host.Str();
  m_pImpl->connection.port = port;
  m_pImpl->connection.tls = tls;
}

CString COrbMqttServer::GetHost() const { return CString(m_pImpl->connection.host); }

int COrbMqttServer::GetPort() const { return m_pImpl->connection.port; }

bool COrbMqttServer::IsTls() const { return m_pImpl->connection.tls; }

void COrbMqttServer::SetCAFile(const CString& path) { m_pImpl->connection.caFile = path.Str(); }

bool COrbMqttServer::CheckAddress(CString& error) const {
  const CString host = GetHost();
  const bool loopback = host.CompareNoCase("localhost") == 0 || host == "::1" || host.Left(4) == "127.";
  if (m_pImpl->connection.tls || loopback) return true;
  error.Format("到 %s 的连接没有加密：未加密的连接只允许连到本机。请使用 mqtts:// 地址", host.GetString());
  return false;
}

void COrbMqttServer::SetPool(const CString& code, const CString& reqPool, const CString& ansPool) {
  m_pImpl->options.pools.Set(code, reqPool, ansPool);
}

CString COrbMqttServer::GetRequestPool(const CString& code) const { return m_pImpl->options.pools.Request(code); }

CString COrbMqttServer::GetAnswerPool(const CString& code) const { return m_pImpl->options.pools.Answer(code); }

bool COrbMqttServer::LoadPools(const CString& xmlText) { return m_pImpl->options.pools.Load(xmlText); }

CString COrbMqttServer::MakePoolXml() const { return m_pImpl->options.pools.MakeXml(); }

void COrbMqttServer::SetGroupMsgHead(const CString& head) { m_pImpl->options.groupMsgHead = head; }

CString COrbMqttServer::GetGroupMsgHead() const { return m_pImpl->options.groupMsgHead; }

void COrbMqttServer::SetTopicRoot(const CString& root) {
  if (!root.IsEmpty()) m_pImpl->options.topicRoot = root;
}

void COrbMqttServer::SetRetryDelays(int shortestMs, int longestMs) {
  m_pImpl->connection.retryMinMs = shortestMs > 0 ? shortestMs : 1;
  m_pImpl->connection.retryMaxMs = longestMs > shortestMs ? longestMs : m_pImpl->connection.retryMinMs;
}
