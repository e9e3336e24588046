#include "Mailbox.h"

#include <algorithm>
#include <utility>

void Mailbox::Put(const std::string& pool, unsigned pushId, const CString& text) {
  m_mapPools[pool].push_back({pushId, text});
  ++m_nCount;
}

bool Mailbox::Take(const std::string& pool, unsigned& pushId, CString& text) {
  auto found = m_mapPools.find(pool);
  if (found == m_mapPools.end() || found->second.empty()) return false;
  Entry& head = found->second.front();
  pushId = head.pushId;
  text = std::move(head.text);
  found->second.pop_front();
  --m_nCount;
  return true;
}

void Mailbox::DropAnswers() {
  for (auto& [pool, queue] : m_mapPools) {
    auto answers = std::remove_if(queue.begin(), queue.end(), [](const Entry& entry) { return entry.pushId != 0; });
    m_nCount -= static_cast<int>(queue.end() - answers);
    queue.erase(answers, queue.end());
  }
}
