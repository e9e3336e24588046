#pragma once
// A first-in first-out queue of texts, each with the push id it answers.
// Texts are copied into a few large blocks instead of one heap block each:
// a mailbox may hold a hundred thousand texts for a long time, and that many
// small long-lived blocks fragment the C runtime's heap so badly (under Wine)
// that every later allocation of the process slows down. Push and Pop are
// O(1) plus the copy of the text. Blocks are given back as soon as they are
// read; an empty queue keeps at most one small block.
#include <cstddef>
#include <deque>
#include <memory>
#include <string>

#include "CString.h"

class TextQueue {
 public:
  void Push(unsigned pushId, const char* text, size_t length);
  // False when empty.
  bool Pop(unsigned& pushId, CString& text);
  int Count() const { return m_nCount; }
  bool IsEmpty() const { return m_nCount == 0; }
  // Memory the queue holds for its texts, in bytes.
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
    unsigned length;
  };
  Block& BlockWithRoom(size_t bytes);
  void ReleaseDrained();

  std::deque<Block> m_listBlocks;
  int m_nCount = 0;
};
