// The mailbox queue: texts come out in order with their push ids, across the
// blocks it stores them in, and answers can be dropped without losing messages.
#include <gtest/gtest.h>

#include <string>

#include "TextQueue.h"

namespace {

void Put(TextQueue& queue, unsigned pushId, const std::string& text) { queue.Push(pushId, text.data(), text.size()); }

TEST(TextQueue, GivesTextsBackInOrderAcrossBlocks) {
  TextQueue queue;
  unsigned pushId = 99;
  CString text;
  EXPECT_FALSE(queue.Pop(pushId, text));
  // Sizes from empty to far beyond one block, with bytes of every value.
  std::string big(3u << 20, 'x');
  for (size_t i = 0; i < big.size(); i += 4099) big[i] = static_cast<char>(i % 256);
  const std::string texts[] = {"", "a", std::string(5000, 'b'), big, "\xD6\xD0\xCE\xC4", std::string(4088, 'c')};
  for (int round = 0; round < 3; ++round) {  // drained blocks are reused or released
    for (size_t i = 0; i < std::size(texts); ++i) Put(queue, static_cast<unsigned>(i), texts[i]);
    EXPECT_EQ(queue.Count(), static_cast<int>(std::size(texts)));
    for (size_t i = 0; i < std::size(texts); ++i) {
      ASSERT_TRUE(queue.Pop(pushId, text));
      EXPECT_EQ(pushId, i);
      EXPECT_TRUE(text.Str() == texts[i]) << "text " << i << " of round " << round;
    }
    EXPECT_FALSE(queue.Pop(pushId, text));
    EXPECT_TRUE(queue.IsEmpty());
  }
}

TEST(TextQueue, InterleavedPushAndPopKeepOrder) {
  TextQueue queue;
  int next = 0;
  int expected = 0;
  unsigned pushId = 0;
  CString text;
  for (int step = 0; step < 20000; ++step) {
    Put(queue, static_cast<unsigned>(next), std::string(static_cast<size_t>(next % 700), 'm') + std::to_string(next));
    ++next;
    if (step % 3 != 0) {
      ASSERT_TRUE(queue.Pop(pushId, text));
      ASSERT_EQ(pushId, static_cast<unsigned>(expected));
      ASSERT_TRUE(text.Str() == std::string(static_cast<size_t>(expected % 700), 'm') + std::to_string(expected));
      ++expected;
    }
  }
  EXPECT_EQ(queue.Count(), next - expected);
}

TEST(TextQueue, DropAnswersKeepsMessagesInOrder) {
  TextQueue queue;
  Put(queue, 0, "m1");
  Put(queue, 7, "answer");
  Put(queue, 0, "m2");
  Put(queue, 8, "answer");
  EXPECT_EQ(queue.DropAnswers(), 2);
  EXPECT_EQ(queue.Count(), 2);
  unsigned pushId = 1;
  CString text;
  ASSERT_TRUE(queue.Pop(pushId, text));
  EXPECT_STREQ(text, "m1");
  ASSERT_TRUE(queue.Pop(pushId, text));
  EXPECT_STREQ(text, "m2");
  EXPECT_EQ(pushId, 0u);
  EXPECT_FALSE(queue.Pop(pushId, text));
}

TEST(TextQueue, ADrainedQueueGivesItsBlocksBack) {
  // A burst grows the blocks to their largest size; once every text is out,
  // the queue keeps no more than its first small block.
  TextQueue queue;
  const std::string text(1000, 't');
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 3000; ++i) Put(queue, 0, text);
    EXPECT_GE(queue.GetHeldBytes(), 3000u * 1000u);
    unsigned pushId = 0;
    CString popped;
    while (queue.Pop(pushId, popped)) {
    }
    EXPECT_TRUE(queue.IsEmpty());
    EXPECT_LE(queue.GetHeldBytes(), 4096u) << "round " << round;
  }
}

}  // namespace
