// Conversions between code page 936, UTF-16 and UTF-8: Chinese text round
// trips exactly; broken input never fails, never swallows the text after the
// broken part, and becomes U+FFFD (or "?" in code page 936).
#include <gtest/gtest.h>

#include <string>

#include "CodePage.h"

namespace {

using CodePage::AnsiToUtf8;
using CodePage::AnsiToWide;
using CodePage::Utf8ToAnsi;
using CodePage::Utf8ToWide;
using CodePage::WideToAnsi;
using CodePage::WideToUtf8;

TEST(CodePageRoundTrip, ChineseTextThroughUtf16AndUtf8) {
  const std::string ansi = "您的系统配置有问题，无法建会话， 请检查505配置! 誠|皘";
  const std::wstring wide = AnsiToWide(ansi.c_str());
  EXPECT_EQ(wide.substr(0, 2), L"\u60a8\u7684");
  EXPECT_EQ(WideToAnsi(wide.c_str()).Str(), ansi);
  const std::string utf8 = AnsiToUtf8(ansi.c_str());
  EXPECT_EQ(utf8.substr(0, 6), "\xE6\x82\xA8\xE7\x9A\x84");
  EXPECT_EQ(Utf8ToAnsi(utf8.c_str()).Str(), ansi);
  EXPECT_EQ(WideToUtf8(Utf8ToWide(utf8.c_str()).c_str()), utf8);
}

TEST(CodePageRoundTrip, ExplicitLengthsKeepEmbeddedNulsAndNullIsEmpty) {
  const char text[] = "a\0群";
  EXPECT_EQ(AnsiToWide(text, 4), std::wstring(L"a\0\u7fa4", 3));
  EXPECT_EQ(AnsiToWide(text), L"a");
  EXPECT_TRUE(AnsiToWide(nullptr).empty());
  EXPECT_TRUE(WideToAnsi(nullptr).IsEmpty());
  EXPECT_TRUE(Utf8ToWide(nullptr, 5).empty());
  EXPECT_TRUE(WideToUtf8(L"", 0).empty());
}

TEST(CodePageInvalid, BrokenGbkBecomesReplacementAndKeepsWhatFollows) {
  struct Row {
    std::string ansi;
    std::wstring wide;
  };
  const Row rows[] = {
      {"ab\xB0", L"ab\uFFFD"},                      // lead byte at the end
      {"a\xB0 bc", L"a\uFFFD bc"},                  // lead byte before a blank: the blank stays
      {"a\x81\x7Fz", L"a\uFFFD\x7Fz"},              // 0x7F cannot be a trail byte
      {"\xB0\xB0\xB0", L"\u978D\uFFFD"},            // 鞍, then a lone lead byte
      {"\xB0\xA1\xB0", L"\u554A\uFFFD"},            // 啊 then a lone lead byte
      {"x\xB0\n\xB0\xA1", L"x\uFFFD\n\u554A"},      // the newline survives
  };
  for (const Row& row : rows) {
    EXPECT_EQ(AnsiToWide(row.ansi.data(), static_cast<int>(row.ansi.size())), row.wide)
        << testing::PrintToString(row.ansi);
  }
  // Back to code page 936 the replacement character is "?"; the rest is intact.
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8("a\xB0 bc").c_str()).Str(), "a? bc");
}

TEST(CodePageInvalid, BrokenUtf8BecomesReplacementAndKeepsWhatFollows) {
  struct Row {
    std::string utf8;
    std::wstring wide;
  };
  const Row rows[] = {
      {"a\xC3z", L"a\uFFFDz"},
      {"a\x80z", L"a\uFFFDz"},
      {"\xE4\xB8", L"\uFFFD"},
      {"a\xED\xA0\x80z", L"a\uFFFD\uFFFDz"},  // an encoded surrogate
      {"\xE7\xBE\xA4\xFF\xE7\xBB\x84", L"\u7fa4\uFFFD\u7ec4"},
  };
  for (const Row& row : rows) {
    const std::wstring got = Utf8ToWide(row.utf8.data(), static_cast<int>(row.utf8.size()));
    EXPECT_EQ(got, row.wide) << testing::PrintToString(row.utf8);
  }
  EXPECT_EQ(Utf8ToAnsi("\xE7\xBE\xA4\xFF\xE7\xBB\x84").Str(), "群?组");
}

TEST(CodePageInvalid, CharactersCodePage936CannotHoldBecomeOneQuestionMark) {
  const wchar_t emoji[] = {L'a', 0xD83D, 0xDE00, L'b', 0};  // one character outside the basic plane
  EXPECT_EQ(WideToAnsi(emoji).Str(), "a?b");
  const wchar_t lone[] = {L'a', 0xD800, L'z', 0xDC00, 0};
  EXPECT_EQ(WideToAnsi(lone).Str(), "a?z?");
  EXPECT_EQ(WideToUtf8(lone), "a\xEF\xBF\xBDz\xEF\xBF\xBD");
  EXPECT_EQ(WideToAnsi(L"\u00e9\u0416").Str().size(), 4u);  // é and Ж exist in GBK
  EXPECT_EQ(Utf8ToAnsi("\xF0\x9F\x98\x80!").Str(), "?!");
}

}  // namespace
