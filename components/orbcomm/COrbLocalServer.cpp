#include "COrbLocalServer.h"

#include "LocalServerImpl.h"
#include "PoolNames.h"

namespace {

// The server's current names.
PoolNames CurrentPools(const ChatServerCore& core) {
  PoolNames names;
  for (const char* code : PoolNames::kCodes) names.Set(code, core.GetRequestPool(code), core.GetAnswerPool(code));
  return names;
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
  PoolNames names = CurrentPools(m_pImpl->core);
  if (!names.Load(xmlText)) return false;
  for (const char* code : PoolNames::kCodes) m_pImpl->core.SetPool(code, names.Request(code), names.Answer(code));
  return true;
}

CString COrbLocalServer::MakePoolXml() const { return CurrentPools(m_pImpl->core).MakeXml(); }

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
