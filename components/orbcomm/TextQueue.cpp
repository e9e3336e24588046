#include "TextQueue.h"

#include <algorithm>
#include <cstring>

namespace {

// Blocks start small so that an idle mailbox costs little, and grow to the
// size above which the heap hands out separate mappings anyway.
const size_t kFirstBlock = 4096;
const size_t kLargestBlock = 1u << 20;

}  // namespace

TextQueue::Block& TextQueue::BlockWithRoom(size_t bytes) {
  if (!m_listBlocks.empty()) {
    Block& tail = m_listBlocks.back();
    if (tail.size - tail.used >= bytes) return tail;
  }
  size_t size = m_listBlocks.empty() ? kFirstBlock : std::min(m_listBlocks.back().size * 2, kLargestBlock);
  size = std::max(size, bytes);
  Block block;
  block.data = std::make_unique<char[]>(size);
  block.size = size;
  m_listBlocks.push_back(std::move(block));
  return m_listBlocks.back();
}

void TextQueue::Push(unsigned pushId, const char* text, size_t length) {
  Header header{pushId, static_cast<unsigned>(length)};
  Block& block = BlockWithRoom(sizeof header + header.length);
  std::memcpy(block.data.get() + block.used, &header, sizeof header);
  std::memcpy(block.data.get() + block.used + sizeof header, text, header.length);
  block.used += sizeof header + header.length;
  ++m_nCount;
}

void TextQueue::ReleaseDrained() {
  // A drained block goes; the last one is kept for reuse only while it is
  // still the small first size, so that a burst's large blocks are not held
  // by a mailbox that was read empty (a thousand of them would be a gigabyte).
  while (!m_listBlocks.empty() && m_listBlocks.front().read == m_listBlocks.front().used) {
    if (m_listBlocks.size() == 1 && m_listBlocks.front().size <= kFirstBlock) {
      m_listBlocks.front().read = m_listBlocks.front().used = 0;
      return;
    }
    m_listBlocks.pop_front();
  }
}

bool TextQueue::Pop(unsigned& pushId, CString& text) {
  ReleaseDrained();
  if (m_listBlocks.empty() || m_nCount == 0) return false;
  Block& block = m_listBlocks.front();
  Header header;
  std::memcpy(&header, block.data.get() + block.read, sizeof header);
  pushId = header.pushId;
  text = CString(block.data.get() + block.read + sizeof header, static_cast<int>(header.length));
  block.read += sizeof header + header.length;
  --m_nCount;
  ReleaseDrained();
  return true;
}

size_t TextQueue::GetHeldBytes() const {
  size_t bytes = 0;
  for (const Block& block : m_listBlocks) bytes += block.size;
  return bytes;
}

int TextQueue::DropAnswers() {
  TextQueue kept;
  unsigned pushId = 0;
  CString text;
  int dropped = 0;
  while (Pop(pushId, text)) {
    if (pushId == 0) {
      kept.Push(pushId, text.GetString(), static_cast<size_t>(text.GetLength()));
    } else {
      ++dropped;
    }
  }
  *this = std::move(kept);
  return dropped;
}
