// CString as the module uses it: byte positions, GBK double-byte characters
// treated as units by searching, replacing, trimming and case changes (a trail
// byte that looks like "\\", "|", "a" or "A" is never matched or changed),
// bounds of Left/Mid/Right, Format, Tokenize and the buffer protocol.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "CString.h"

namespace {

// GBK characters whose trail byte is an ASCII character (checked below).
const char kBackslashTrail[] = "誠";  // D5 5C
const char kBarTrail[] = "皘";        // B0 7C
const char kSmallATrail[] = "癮";     // B0 61
const char kCapitalATrail[] = "腁";   // C4 41

TEST(CStringGbk, TestCharactersHaveAsciiTrailBytes) {
  EXPECT_EQ(std::string(kBackslashTrail), std::string("\xD5\x5C"));
  EXPECT_EQ(std::string(kBarTrail), std::string("\xB0\x7C"));
  EXPECT_EQ(std::string(kSmallATrail), std::string("\xB0\x61"));
  EXPECT_EQ(std::string(kCapitalATrail), std::string("\xC4\x41"));
}

TEST(CStringGbk, FindNeverMatchesATrailByte) {
  struct Row {
    CString text;
    const char* sub;
    int start;
    int expected;
  };
  const std::vector<Row> rows = {
      {CString(kBackslashTrail) + "\\x", "\\", 0, 2},
      {CString(kBarTrail) + "|", "|", 0, 2},
      {CString(kSmallATrail) + "a", "a", 0, 2},
      {CString(kSmallATrail), "a", 0, -1},
      {CString(kSmallATrail) + "b", "ab", 0, -1},
      {CString("ab") + kSmallATrail + "ab", "ab", 1, 4},
      {"abc", "", 1, 1},
      {"abc", "c", 3, -1},
      {"abc", "a", -1, -1},
      {"abc", "a", 4, -1},
      {CString("联系人") + "联系人", "联系人", 1, 6},  // start inside a character
  };
  for (const Row& row : rows) EXPECT_EQ(row.text.Find(row.sub, row.start), row.expected) << row.text.GetString();
  EXPECT_EQ((CString(kBackslashTrail) + "\\").Find('\\'), 2);
  EXPECT_EQ((CString("\\") + kBackslashTrail).ReverseFind('\\'), 0);
  EXPECT_EQ((CString(kBarTrail) + ";|").FindOneOf("|;"), 2);
  EXPECT_EQ(CString("名称").FindOneOf("称"), 2);
}

TEST(CStringGbk, ReplaceAndRemoveLeaveTrailBytesAlone) {
  CString path = CString("C:\\") + kBackslashTrail + "\\a.txt";
  EXPECT_EQ(path.Replace("\\", "/"), 2);
  EXPECT_EQ(path, CString("C:/") + kBackslashTrail + "/a.txt");

  CString bars = CString(kBarTrail) + "|" + kBarTrail;
  EXPECT_EQ(bars.Replace('|', ','), 1);
  EXPECT_EQ(bars, CString(kBarTrail) + "," + kBarTrail);
  EXPECT_EQ(bars.Remove(','), 1);
  EXPECT_EQ(bars, CString(kBarTrail) + kBarTrail);

  CString html = "<DIV>一</DIV><DIV>二";
  EXPECT_EQ(html.Replace("<DIV>", "<DIV>&nbsp;"), 2);
  EXPECT_EQ(html, "<DIV>&nbsp;一</DIV><DIV>&nbsp;二");
  CString grows = "aaa";
  EXPECT_EQ(grows.Replace("a", "aa"), 3);  // the new text is not searched again
  EXPECT_EQ(grows, "aaaaaa");
  EXPECT_EQ(grows.Replace("", "x"), 0);
}

// A replacement that copied the rest of the text per hit would take hours
// here and run into the test's time limit; its speed is not measured here.
TEST(CStringGbk, ReplaceOverALongText) {
  CString text;
  for (int i = 0; i < 200000; ++i) text += "<DIV>群";
  EXPECT_EQ(text.Replace("<DIV>", "<P>"), 200000);
  EXPECT_EQ(text.GetLength(), 200000 * 5);
}

TEST(CStringGbk, CaseChangesTouchOnlyAsciiLetters) {
  CString lower = CString("Ab") + kCapitalATrail + "Z";
  lower.MakeLower();
  EXPECT_EQ(lower, CString("ab") + kCapitalATrail + "z");
  CString upper = CString("ab") + kSmallATrail + "z";
  upper.MakeUpper();
  EXPECT_EQ(upper, CString("AB") + kSmallATrail + "Z");
}

TEST(CStringCompare, CompareNoCaseFoldsOnlyAsciiAndIsAPlainOrder) {
  struct Row {
    const char* a;
    const char* b;
    int sign;
  };
  const Row rows[] = {
      {"C1001", "c1001", 0}, {"a-b", "ab", -1}, {"ab", "a-b", 1}, {"a", "B", -1}, {"", "", 0},
      {"abc", "ab", 1},      {"联系人", "联系人", 0},
  };
  for (const Row& row : rows) {
    const int r = CString(row.a).CompareNoCase(row.b);
    EXPECT_EQ((r > 0) - (r < 0), row.sign) << row.a << " vs " << row.b;
  }
  // A trail byte 'a' is not folded against 'A'.
  EXPECT_NE(CString(kSmallATrail).CompareNoCase("\xB0" "A"), 0);
  EXPECT_EQ(CString("abc").CompareNoCase(nullptr), 1);
}

TEST(CStringTrim, BlanksAndTargetSets) {
  struct Row {
    const char* text;
    const char* expected;
  };
  const Row blanks[] = {{" \t\r\n\v\f群 组\r\n", "群 组"}, {"   ", ""}, {"", ""}, {"x", "x"}};
  for (const Row& row : blanks) EXPECT_EQ(CString(row.text).Trim(), row.expected) << row.text;

  EXPECT_EQ(CString(",,a,b,,").Trim(','), "a,b");
  EXPECT_EQ(CString("xyhixy").TrimLeft("xy"), "hixy");
  EXPECT_EQ(CString("xyhixy").TrimRight("xy"), "xyhi");
  // A trail byte equal to a target is part of its character and stays.
  EXPECT_EQ((CString(kBackslashTrail) + "\\\\").TrimRight("\\"), kBackslashTrail);
  EXPECT_EQ((CString("\\") + kBackslashTrail).TrimLeft("\\"), kBackslashTrail);
  // An embedded NUL is not a target.
  CString nul("a\0b", 3);
  EXPECT_EQ(nul.TrimRight("b").GetLength(), 2);
  // A double-byte target removes only that character.
  EXPECT_EQ(CString("，一，").Trim("，"), "一");
}

TEST(CStringBounds, LeftMidRightClampInsteadOfFailing) {
  const CString s = "abcdef";
  struct Row {
    CString got;
    const char* expected;
  };
  const Row rows[] = {
      {s.Left(2), "ab"},    {s.Left(-1), ""},       {s.Left(99), "abcdef"}, {s.Mid(2), "cdef"},
      {s.Mid(-3), "abcdef"}, {s.Mid(99), ""},       {s.Mid(1, 2), "bc"},    {s.Mid(4, 99), "ef"},
      {s.Mid(2, -1), ""},   {s.Right(2), "ef"},     {s.Right(-5), ""},      {s.Right(99), "abcdef"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.got, row.expected);
  EXPECT_EQ(s.GetAt(99), '\0');
  EXPECT_EQ(s[-1], '\0');
  CString d = s;
  EXPECT_EQ(d.Delete(4, 99), 4);
  EXPECT_EQ(d.Delete(9), 4);
  EXPECT_EQ(d.Insert(99, "!"), 5);
  EXPECT_EQ(d, "abcd!");
}

TEST(CStringFormat, PrintfFormsAndLongOutput) {
  CString s;
  s.Format("#%.2X%.2X%.2X", 0x12, 0xAB, 0x05);
  EXPECT_EQ(s, "#12AB05");
  s.Format("[%d]:%s", 3, "忙");
  EXPECT_EQ(s, "[3]:忙");
  s.Format("%s", std::string(5000, 'x').c_str());
  EXPECT_EQ(s.GetLength(), 5000);
  s.AppendFormat("%d/%d", 1, 2);
  EXPECT_EQ(s.Right(3), "1/2");
  s.Format("%s", s.Left(3).GetString());  // the text itself as an argument
  EXPECT_EQ(s, "xxx");
}

TEST(CStringTokenize, TokensAndEnd) {
  auto tokens = [](const CString& text, const char* delims) {
    std::vector<std::string> out;
    int pos = 0;
    for (CString t = text.Tokenize(delims, pos); pos != -1; t = text.Tokenize(delims, pos)) out.push_back(t.Str());
    return out;
  };
  using V = std::vector<std::string>;
  EXPECT_EQ(tokens("c1001,c1002,,c1003,", ","), (V{"c1001", "c1002", "c1003"}));
  EXPECT_EQ(tokens(",,,", ","), V{});
  EXPECT_EQ(tokens("", ","), V{});
  EXPECT_EQ(tokens("a b\tc", " \t"), (V{"a", "b", "c"}));
  EXPECT_EQ(tokens(CString(kBarTrail) + "|x", "|"), (V{kBarTrail, "x"}));
  EXPECT_EQ(tokens("甲，乙", "，"), (V{"甲", "乙"}));
  int pos = -1;
  EXPECT_TRUE(CString("abc").Tokenize(",", pos).IsEmpty());
  EXPECT_EQ(pos, -1);
}

TEST(CStringBuffer, GetBufferReleaseBuffer) {
  CString s = "abc";
  char* buffer = s.GetBuffer(10);
  std::strcpy(buffer, "联系");
  s.ReleaseBuffer();
  EXPECT_EQ(s, "联系");
  EXPECT_EQ(s.GetLength(), 4);

  buffer = s.GetBuffer(0);
  buffer[1] = '\0';
  s.ReleaseBuffer();
  EXPECT_EQ(s.GetLength(), 1);

  buffer = s.GetBufferSetLength(3);
  buffer[0] = 'x';
  buffer[1] = 'y';
  buffer[2] = 'z';
  s.ReleaseBuffer(2);
  EXPECT_EQ(s, "xy");
  s.GetBuffer(5);
  s.ReleaseBuffer(99);  // longer than the buffer: kept to what is there
  EXPECT_EQ(s.GetLength(), 5);
}

TEST(CStringMisc, NullPointersAndConversions) {
  CString s(static_cast<const char*>(nullptr));
  EXPECT_TRUE(s.IsEmpty());
  s = static_cast<const char*>(nullptr);
  EXPECT_TRUE(s.IsEmpty());
  s += static_cast<const char*>(nullptr);
  EXPECT_TRUE(s.IsEmpty());
  EXPECT_EQ(CString('*', 3), "***");
  EXPECT_EQ(CString('*', -2), "");
  EXPECT_EQ(CString("abcdef").SpanIncluding("abc"), "abc");
  EXPECT_EQ(CString("名称:x").SpanExcluding(":"), "名称");
  BSTR wide = CString("群组").AllocSysString();
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(std::wstring(wide, SysStringLen(wide)), L"\u7fa4\u7ec4");
  SysFreeString(wide);
}

}  // namespace
