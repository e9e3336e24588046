#include "Mailbox.h"

void Mailbox::Put(const std::string& pool, unsigned pushId, const std::string& text) {
  m_mapPools[pool].Push(pushId, text.data(), text.size());
  ++m_nCount;
  m_nBytes += text.size();
}

void Mailbox::PutShared(const std::string& pool, const std::shared_ptr<const std::string>& text) {
  m_mapPools[pool].PushShared(0, text);
  ++m_nCount;
  m_nBytes += text->size();
}

bool Mailbox::Take(const std::string& pool, unsigned& pushId, CString& text) {
  auto found = m_mapPools.find(pool);
  if (found == m_mapPools.end() || !found->second.Pop(pushId, text)) return false;
  --m_nCount;
  m_nBytes -= static_cast<size_t>(text.GetLength());
  return true;
}

void Mailbox::DropAnswers() {
  m_nBytes = 0;
  for (auto& [pool, queue] : m_mapPools) {
    m_nCount -= queue.DropAnswers();
    m_nBytes += queue.GetTextBytes();
  }
}
