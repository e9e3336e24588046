#pragma once
// What the server holds for one user: a queue per answer pool of the texts
// waiting to be popped, oldest first. Putting and taking are O(1).
#include <memory>
#include <string>
#include <unordered_map>

#include "CString.h"
#include "TextQueue.h"

class Mailbox {
 public:
  void Put(const std::string& pool, unsigned pushId, const std::string& text);
  // A message several mailboxes receive: one copy is shared among them.
  void PutShared(const std::string& pool, const std::shared_ptr<const std::string>& text);
  // False when the pool holds nothing.
  bool Take(const std::string& pool, unsigned& pushId, CString& text);
  int Count() const { return m_nCount; }
  // The length of every waiting text added up, shared ones in full.
  size_t Bytes() const { return m_nBytes; }
  // Drops the answers to push ids (they belong to a session that is gone, and
  // a new session would take them for answers to its own requests); messages
  // (push id 0) stay.
  void DropAnswers();

 private:
  std::unordered_map<std::string, TextQueue> m_mapPools;
  int m_nCount = 0;
  size_t m_nBytes = 0;
};
