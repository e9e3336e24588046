#include "Mailbox.h"

void Mailbox::Put(const std::string& pool, unsigned pushId, const std::string& text) {
  m_mapPools[pool].Push(pushId, text.data(), text.size());
  ++m_nCount;
}

bool Mailbox::Take(const std::string& pool, unsigned& pushId, CString& text) {
  auto found = m_mapPools.find(pool);
  if (found == m_mapPools.end() || !found->second.Pop(pushId, text)) return false;
  --m_nCount;
  return true;
}

void Mailbox::DropAnswers() {
  for (auto& [pool, queue] : m_mapPools) m_nCount -= queue.DropAnswers();
}
