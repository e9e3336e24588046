#pragma once
// A first-in first-out queue of texts, each with the push id it answers.
// Texts are copied into a few large blocks instead of one heap block each:
// a mailbox may hold a hundred thousand texts for a long time, and that many
// small long-lived blocks fragment the C runtime's heap so badly (under Wine)
// that every later allocation of the process slows down. Push and Pop are
// O(1) plus the copy of the text. Blocks are given back as soon as they are
// read; an empty queue keeps at most one small block. A text that several
// queues hold (one message to many recipients) is kept once and shared.
#include <cstddef>
#include <deque>
#include <memory>
#include <string>

#include "CString.h"

class TextQueue {
 public:
  void Push(unsigned pushId, const char* text, size_t length);
  // Queues a reference to a text other queues may hold too, not a copy.
  void PushShared(unsigned pushId, std::shared_ptr<const std::string> text);
  // False when empty. When the copy of the text cannot be made, the text
  // stays queued.
  bool Pop(unsigned& pushId, CString& text);
  int Count() const { return m_nCount; }
  bool IsEmpty() const { return m_nCount == 0; }
  // The length of every queued text added up, shared ones in full.
  size_t GetTextBytes() const { return m_nTextBytes; }
  // Memory of the blocks the queue owns, in bytes (shared texts not counted).
  size_t GetHeldBytes() const;
  // Removes the texts whose push id is not 0; returns how many.
  int DropAnswers();

 private:
  struct Block {
    std::unique_ptr<char[]> data;
    size_t size = 0;
    size_t used = 0;  // bytes written
    size_t read = 0;  // bytes already popped
  };
  struct Header {
    unsigned pushId;
    unsigned length;  // kSharedText: the text is the next one of m_listShared
  };
  static constexpr unsigned kSharedText = 0xFFFFFFFFu;

  Block& BlockWithRoom(size_t bytes);
  void PushHeader(unsigned pushId, unsigned length, const char* text);
  // The oldest text, left in place; false when empty.
  bool Front(unsigned& pushId, const char*& text, size_t& length, bool& shared) const;
  void RemoveFront();
  void ReleaseDrained();

  std::deque<Block> m_listBlocks;
  std::deque<std::shared_ptr<const std::string>> m_listShared;
  int m_nCount = 0;
  size_t m_nTextBytes = 0;
};
