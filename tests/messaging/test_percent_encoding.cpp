// The escaping of request values, byte by byte.
#include <gtest/gtest.h>

#include <string>

#include "CodePage.h"
#include "messaging/PercentEncoding.h"

namespace {

struct EncodeRow {
  const char* name;
  std::string input;  // code page 936
  const char* expected;
};
void PrintTo(const EncodeRow& row, std::ostream* os) { *os << row.name; }

class EncodeAnsiTest : public testing::TestWithParam<EncodeRow> {};

TEST_P(EncodeAnsiTest, EscapesAsTheTableSays) {
  const EncodeRow& row = GetParam();
  EXPECT_EQ(PercentEncoding::EncodeAnsi(CString(row.input)), row.expected) << row.name;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EncodeAnsiTest,
    testing::Values(
        EncodeRow{"lower case letters are escaped", "abc", "%61%62%63"},
        EncodeRow{"upper case A to O and digits are kept", "ABCDEFGHIJKLMNO0123456789", "ABCDEFGHIJKLMNO0123456789"},
        EncodeRow{"upper case P to Z are escaped", "PQZ", "%50%51%5A"},
        EncodeRow{"blank", "a b", "%61%20%62"},
        EncodeRow{"listed punctuation", "*#%<>+", "%2A%23%25%3C%3E%2B"},
        EncodeRow{"other punctuation below P is kept", "!\"$'(),-.:;?@/", "!\"$'(),-.:;?@/"},
        EncodeRow{"punctuation from 0x50 up", "_[\\]^`{|}~\x7f", "%5F%5B%5C%5D%5E%60%7B%7C%7D%7E%7F"},
        EncodeRow{"control bytes", "\t\r\n\x1f", "%09%0D%0A%1F"},
        EncodeRow{"pair separators are kept", "a&b=c", "%61&%62=%63"},
        EncodeRow{"code page 936 text is sent as UTF-8", "中文", "%E4%B8%AD%E6%96%87"},
        EncodeRow{"embedded NUL byte", std::string("A\0B", 3), "A%00B"},
        EncodeRow{"empty", "", ""}),
    [](const testing::TestParamInfo<EncodeRow>& info) { return "Row" + std::to_string(info.index); });

TEST(PercentEncoding, OutputIsAtMostThreeTimesTheInput) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string out = PercentEncoding::EncodeBytes(all.data(), all.size());
  EXPECT_LE(out.size(), 3 * all.size());
  // Decoding gives the bytes back, so nothing is lost or mangled.
  std::string decoded;
  for (size_t i = 0; i < out.size(); ++i) {
    if (out[i] == '%') {
      ASSERT_LE(i + 2, out.size() - 1);
      decoded += static_cast<char>(std::stoi(out.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      decoded += out[i];
    }
  }
  EXPECT_EQ(decoded, all);
}

TEST(PercentEncoding, OnePassConversionMatchesTheFrameworkConversion) {
  // Every double-byte character, every byte value in a row, trail bytes in the
  // ASCII range ("\x81\x40", "\x81\x5C"), lone and broken lead bytes.
  std::string everyPair;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      everyPair += static_cast<char>(lead);
      everyPair += static_cast<char>(trail);
    }
  }
  std::string everyByte;
  for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
  const std::string inputs[] = {everyPair, everyByte, "a中b文c", "\x81\x40\x81\x5C\\x", "end\xD6", "\xD6 x",
                                "\xD6\xFF\x80", "\x80\xFF"};
  for (const std::string& input : inputs) {
    const std::string utf8 = CodePage::AnsiToUtf8(input.data(), static_cast<int>(input.size()));
    EXPECT_EQ(PercentEncoding::EncodeAnsi(CString(input)), PercentEncoding::EncodeBytes(utf8.data(), utf8.size()))
        << input.size() << " bytes";
  }
}

}  // namespace
