#include "TextQueue.h"

#include <algorithm>
#include <cstring>
#include <utility>

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

void TextQueue::PushHeader(unsigned pushId, unsigned length, const char* text) {
  const size_t textBytes = length == kSharedText ? 0 : length;
  Header header{pushId, length};
  Block& block = BlockWithRoom(sizeof header + textBytes);
  std::memcpy(block.data.get() + block.used, &header, sizeof header);
  if (textBytes) std::memcpy(block.data.get() + block.used + sizeof header, text, textBytes);
  block.used += sizeof header + textBytes;
  ++m_nCount;
}

void TextQueue::Push(unsigned pushId, const char* text, size_t length) {
  PushHeader(pushId, static_cast<unsigned>(length), text);
  m_nTextBytes += length;
}

void TextQueue::PushShared(unsigned pushId, std::shared_ptr<const std::string> text) {
  m_listShared.push_back(std::move(text));
  try {
    PushHeader(pushId, kSharedText, nullptr);
  } catch (...) {
    m_listShared.pop_back();
    throw;
  }
  m_nTextBytes += m_listShared.back()->size();
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

bool TextQueue::Front(unsigned& pushId, const char*& text, size_t& length, bool& shared) const {
  if (m_nCount == 0) return false;
  const Block& block = m_listBlocks.front();
  Header header;
  std::memcpy(&header, block.data.get() + block.read, sizeof header);
  pushId = header.pushId;
  shared = header.length == kSharedText;
  if (shared) {
    text = m_listShared.front()->data();
    length = m_listShared.front()->size();
  } else {
    text = block.data.get() + block.read + sizeof header;
    length = header.length;
  }
  return true;
}

void TextQueue::RemoveFront() {
  unsigned pushId = 0;
  const char* text = nullptr;
  size_t length = 0;
  bool shared = false;
  if (!Front(pushId, text, length, shared)) return;
  m_listBlocks.front().read += sizeof(Header) + (shared ? 0 : length);
  if (shared) m_listShared.pop_front();
  m_nTextBytes -= length;
  --m_nCount;
  ReleaseDrained();
}

bool TextQueue::Pop(unsigned& pushId, CString& text) {
  const char* bytes = nullptr;
  size_t length = 0;
  bool shared = false;
  if (!Front(pushId, bytes, length, shared)) return false;
  text = CString(bytes, static_cast<int>(length));
  RemoveFront();
  return true;
}

size_t TextQueue::GetHeldBytes() const {
  size_t bytes = 0;
  for (const Block& block : m_listBlocks) bytes += block.size;
  return bytes;
}

int TextQueue::DropAnswers() {
  TextQueue kept;
  int dropped = 0;
  unsigned pushId = 0;
  const char* text = nullptr;
  size_t length = 0;
  bool shared = false;
  while (Front(pushId, text, length, shared)) {
    if (pushId != 0) {
      ++dropped;
    } else if (shared) {
      kept.PushShared(0, m_listShared.front());
    } else {
      kept.Push(0, text, length);
    }
    RemoveFront();
  }
  *this = std::move(kept);
  return dropped;
}
