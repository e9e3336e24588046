#include "COrbLocalServer.h"

#include "LocalServerImpl.h"
#include "OrbXmlReader.h"

namespace {

const char* const kCodes[] = {"5", "505", "506"};

CString EscapeAttribute(const CString& text) {
  CString out = text;
  out.Replace("&", "&amp;");
  out.Replace("<", "&lt;");
  out.Replace(">", "&gt;");
  out.Replace("\"", "&quot;");
  return out;
}

}  // namespace

COrbLocalServer::COrbLocalServer() : m_pImpl(std::make_unique<Impl>()) {}

COrbLocalServer::~COrbLocalServer() = default;

void COrbLocalServer::SetPool(const CString& code, const CString& reqPool, const CString& ansPool) {
  m_pImpl->core.SetPool(code, reqPool, ansPool);
}

CString COrbLocalServer::GetRequestPool(const CString& code) const { return m_pImpl->core.GetRequestPool(code); }

CString COrbLocalServer::GetAnswerPool(const CString& code) const { return m_pImpl->core.GetAnswerPool(code); }

bool COrbLocalServer::LoadPools(const CString& xmlText) {
  COrbXmlReader reader;
  bool any = false;
  for (const char* code : kCodes) {
    CString req = reader.GetSpecialStr(xmlText, "message.msgpool", "req", "msgtype", code);
    CString ans = reader.GetSpecialStr(xmlText, "message.msgpool", "ans", "msgtype", code);
    any = any || !req.IsEmpty() || !ans.IsEmpty();
    m_pImpl->core.SetPool(code, req, ans);
  }
  return any;
}

CString COrbLocalServer::MakePoolXml() const {
  CString xml = "<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n<message>\r\n";
  for (const char* code : kCodes) {
    CString line;
    line.Format("  <msgpool msgtype=\"%s\"", code);
    CString req = m_pImpl->core.GetRequestPool(code);
    CString ans = m_pImpl->core.GetAnswerPool(code);
    if (!req.IsEmpty()) line += " req=\"" + EscapeAttribute(req) + "\"";
    if (!ans.IsEmpty()) line += " ans=\"" + EscapeAttribute(ans) + "\"";
    xml += line + "/>\r\n";
  }
  xml += "</message>\r\n";
  return xml;
}

void COrbLocalServer::SetGroupMsgHead(const CString& head) { m_pImpl->core.SetGroupMsgHead(head); }

CString COrbLocalServer::GetGroupMsgHead() const { return m_pImpl->core.GetGroupMsgHead(); }

bool COrbLocalServer::AddCommunity(const CString& groupId, const CString& name, const CString& description,
                                   const CString& members) {
  return m_pImpl->core.AddCommunity(groupId, name, description, members);
}

bool COrbLocalServer::AddEchoPeer(const CString& memberId, const CString& alias) {
  return m_pImpl->core.AddPeer(memberId, alias, false);
}

bool COrbLocalServer::AddGroupPeer(const CString& memberId, const CString& alias) {
  return m_pImpl->core.AddPeer(memberId, alias, true);
}

void COrbLocalServer::SetMailboxLimit(int limit) { m_pImpl->core.SetMailboxLimit(limit); }

void COrbLocalServer::SetMailboxByteLimit(size_t bytes) { m_pImpl->core.SetMailboxByteLimit(bytes); }

bool COrbLocalServer::IsOnline(const CString& memberId) const { return m_pImpl->core.IsOnline(memberId); }

int COrbLocalServer::GetQueuedCount(const CString& memberId) const { return m_pImpl->core.GetQueuedCount(memberId); }

bool COrbLocalServer::HasThread(const CString& threadId) const { return m_pImpl->core.HasThread(threadId); }

CString COrbLocalServer::GetThreadMembers(const CString& threadId) const {
  return m_pImpl->core.GetThreadMembers(threadId);
}
