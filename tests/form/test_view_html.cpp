// What the conversation view shows, without a window: the start page, clock
// times, masked ids, notice fragments and the rendering of stored records.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "form/ViewHtml.h"

namespace {

// The page as the editor and the view receive it, line by line.
std::string PageWith(const std::string& fontLine) {
  const std::vector<std::string> lines = {
      "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">",
      "<HTML>",
      "<HEAD>",
      "<META http-equiv=Content-Type content=\"text/html; charset=gb2312\">",
      "<META content=\"MSHTML 6.00.2600.0\" name=GENERATOR>",
      "<STYLE>",
      "Body{",
      "      scrollbar-arrow-color: #0000CD;  ",
      "      scrollbar-face-color: #ADD2E6;  ",
      "      scrollbar-3dlight-color: #ABCFE1;  ",
      "      scrollbar-highlight-color: #F0F8FF;  ",
      "      scrollbar-shadow-color: #C4DEEB;  ",
      "      scrollbar-darkshadow-color: #FEFEFE;  ",
      "      scrollbar-track-color: #EBF3F6;  ",
      "      scrollbar-base-color:#F0F8FF;  ",
      "    }",
      "</STYLE>",
      "</HEAD>",
      "",
      "<BODY bgColor=#ffffff>",
      fontLine + "<DIV></DIV>",
      "</BODY>",
      "</HTML>",
  };
  std::string page;
  for (const std::string& line : lines) page += line + "\r\n";
  return page;
}

TEST(MakePageHtml, WithoutFontNameHasNoFontTag) {
  EXPECT_EQ(MakePageHtml("", 5, 0, 0xFFFFFF).Str(), PageWith(""));
}

TEST(MakePageHtml, KeepsTheNameFromItsLastBlankAndWritesColoursAsRgb) {
  // 0x00BBGGRR: 0x0000FF is red, 0xFF8000 is a light blue.
  EXPECT_EQ(MakePageHtml("MS Sans Serif", 5, 0x0000FF, 0xFF8000).Str(),
            PageWith("<FONT style=\"BACKGROUND-COLOR: #0080FF\" color=#FF0000 size=5 face= Serif>\r\n"));
  EXPECT_EQ(MakePageHtml("宋体", 3, 0, 0xFFFFFF).Str(),
            PageWith("<FONT style=\"BACKGROUND-COLOR: #FFFFFF\" color=#000000 size=3 face=宋体>\r\n"));
}

TEST(FormatClockTime, TakesTheClockFrom14Or6CharactersOnly) {
  const struct {
    const char* stamp;
    const char* clock;
  } rows[] = {
      {"20261208103045", "10:30:45"}, {"103045", "10:30:45"}, {"", ""},           {"1030450", ""},
      {"2026120810304", ""},          {"202612081030451", ""}, {"12345", ""},     {"abcdefghijklmn", "ij:kl:mn"},
  };
  for (const auto& row : rows) EXPECT_EQ(FormatClockTime(row.stamp), row.clock) << row.stamp;
}

TEST(MaskMemberId, HidesTheMiddleForEveryLength) {
  const char* const expected[] = {"*",       "*",        "*b",        "*bc",        "a*cd",        "ab*de",
                                  "ab**ef",  "ab***fg",  "ab****gh",  "ab*****hi",  "ab******ij",  "ab*******jk"};
  const std::string id = "abcdefghijk";
  for (size_t n = 0; n <= 11; ++n) EXPECT_EQ(MaskMemberId(id.substr(0, n).c_str()), expected[n]) << n;
}

TEST(NoticeFragment, WrapsPlainTextAndLeavesHtmlWithoutNameAlone) {
  const struct {
    const char* name;
    const char* text;
    const char* fragment;
  } rows[] = {
      {"系统错误", "连接失败",
       "<DIV></DIV><DIV><FONT color=#112233 size=2 face=serif>系统错误 &nbsp;连接失败</FONT></DIV>"},
      {"", "  已发送", "<DIV></DIV><DIV><FONT color=#112233 size=2 face=serif>已发送</FONT></DIV>"},
      {"提示", " <B>x</B>", "<DIV></DIV><FONT color=#112233 size=2 face=serif>提示 &nbsp;</FONT><B>x</B>"},
      {"", "  <P>原样</P>", "<P>原样</P>"},
      {"提示", "", ""},
  };
  for (const auto& row : rows) EXPECT_EQ(NoticeFragment(row.name, row.text, "112233"), row.fragment) << row.text;
}

InfoMsgStructer Record(const char* from, const char* fromId, const char* body, const char* stamp = "20261208093007") {
  InfoMsgStructer record;
  record.from = from;
  record.from_id = fromId;
  record.body = body;
  record.publish_time = stamp;
  return record;
}

constexpr ViewColors kColors{0x000001, 0x000002, 0x0000FF};

TEST(MessageHeader, SystemOwnAndOtherSenders) {
  const struct {
    InfoMsgStructer record;
    const char* header;
  } rows[] = {
      {Record("", "", "x"), " [09:30:07]系统消息:"},
      {Record("别人的名字", "c1001", "x"), " 您&nbsp;于&nbsp;09:30:07&nbsp;说:"},
      {Record("  李四 ", "c2002", "x"), "李四(c2*02)&nbsp;09:30:07&nbsp;说:"},
      {Record("李四", "c2002", "x", "2026"), "李四(c2*02)&nbsp;&nbsp;说:"},
      {Record("<b>\"A&B\"</b>", "<i>x", "x"), "&lt;b&gt;&quot;A&amp;B&quot;&lt;/b&gt;(&lt;*&gt;x)&nbsp;09:30:07&nbsp;说:"},
      {Record("王五", "c", "x", "20260101<a:b>x"), "王五(*)&nbsp;&lt;a::b:&gt;x&nbsp;说:"},
  };
  for (const auto& row : rows) EXPECT_EQ(MessageHeader(row.record, "c1001"), row.header) << row.record.from;
}

const MhtToHtmlFn kNoMht = [](const CString&) -> CString {
  ADD_FAILURE() << "MHT conversion not expected";
  return CString();
};

TEST(RenderRecord, ColoursTheHeaderByKindAndIndentsUpperCaseDivisions) {
  EXPECT_EQ(RenderRecord(Record("李四", "c2002", " <DIV>你好</DIV><div>小写</div> "), "c1001", kColors, kNoMht),
            "<FONT color=#020000 size=2>李四(c2*02)&nbsp;09:30:07&nbsp;说:"
            "<DIV><FONT size=2 face=Serif>&nbsp;&nbsp;&nbsp;&nbsp;</FONT>你好</DIV><div>小写</div></FONT><DIV></DIV>");
  EXPECT_EQ(RenderRecord(Record("张三", "c1001", "我"), "c1001", kColors, kNoMht),
            "<FONT color=#010000 size=2> 您&nbsp;于&nbsp;09:30:07&nbsp;说:我</FONT><DIV></DIV>");
  EXPECT_EQ(RenderRecord(Record("", "", "注意"), "c1001", kColors, kNoMht),
            "<FONT color=#FF0000 size=2> [09:30:07]系统消息:注意</FONT><DIV></DIV>");
  // Without a known user id, a record without a sender is still a system one.
  EXPECT_EQ(RenderRecord(Record("", "", "注意"), "", kColors, kNoMht),
            "<FONT color=#FF0000 size=2> [09:30:07]系统消息:注意</FONT><DIV></DIV>");
}

TEST(RenderRecord, ShowsTheLongerOfAbstractAndBodyAndBodyOnATie) {
  InfoMsgStructer record = Record("李四", "c2002", "body");
  record.abstract = "abst";
  EXPECT_NE(RenderRecord(record, "c1001", kColors, kNoMht).Find("说:body</FONT>"), -1);
  record.abstract = "abstract";
  EXPECT_NE(RenderRecord(record, "c1001", kColors, kNoMht).Find("说:abstract</FONT>"), -1);
}

TEST(RenderRecord, ConvertsMhtByUrlOrByContentTypeAfterTheFirstCharacter) {
  int conversions = 0;
  const MhtToHtmlFn convert = [&](const CString& mht) {
    ++conversions;
    return CString("<DIV>") + CString(mht.Left(3)) + "</DIV>";
  };
  InfoMsgStructer byUrl = Record("李四", "c2002", "MIME");
  byUrl.url = " mht ";
  EXPECT_NE(RenderRecord(byUrl, "c1001", kColors, convert).Find("&nbsp;</FONT>MIM</DIV>"), -1);
  EXPECT_EQ(conversions, 1);
  EXPECT_NE(RenderRecord(Record("李四", "c2002", "\r\nContent-Type: x"), "c1001", kColors, convert).Find("</FONT>\r\nC"),
            -1);
  EXPECT_EQ(conversions, 2);
  const CString atStart = RenderRecord(Record("李四", "c2002", "Content-Type: text/plain"), "c1001", kColors, convert);
  EXPECT_NE(atStart.Find("说:Content-Type: text/plain</FONT>"), -1);
  EXPECT_EQ(conversions, 2);
}

TEST(RenderRecord, EmptyContentShowsNothing) {
  EXPECT_EQ(RenderRecord(Record("李四", "c2002", " \r\n\t "), "c1001", kColors, kNoMht), "");
  InfoMsgStructer brokenMht = Record("李四", "c2002", "garbage");
  brokenMht.url = "mht";
  EXPECT_EQ(RenderRecord(brokenMht, "c1001", kColors, [](const CString&) { return CString(); }), "");
}

TEST(RenderRecord, ShowsOnlyTheStartOfAMebibyteOfText) {
  std::string text(1 << 20, 'x');
  for (size_t i = 0; i + 5 <= text.size(); i += 1000) text.replace(i, 5, "<DIV>");
  const CString fragment = RenderRecord(Record("李四", "c2002", text.c_str()), "c1001", kColors, kNoMht);
  EXPECT_LT(fragment.GetLength(), kMaxShownContent + 1000);
  // The note's own leading "<DIV>" is indented like every other division.
  const CString tail = CString(kContentCutNote) + "</FONT><DIV></DIV>";
  EXPECT_EQ(fragment.Right(tail.GetLength() - 5), tail.Right(tail.GetLength() - 5));
}

TEST(CutLongContent, EndsOnACharacterAndOutsideTagsAndEntities) {
  const CString note(kContentCutNote);
  const struct {
    const char* content;
    int max;
    const char* kept;
  } rows[] = {
      {"abcdef", 6, "abcdef"},      {"abcdefg", 6, "abcdef"},   {"ab中文", 5, "ab中"},  {"ab中文", 4, "ab中"},
      {"ab中文", 3, "ab"},          {"ab<FONT x>", 6, "ab"},    {"ab<B>cd", 6, "ab<B>c"}, {"a&nbsp;b", 5, "a"},
      {"a&lt;b&gt;", 9, "a&lt;b"},
  };
  for (const auto& row : rows) {
    const CString expected = CString(row.content).GetLength() <= row.max ? CString(row.kept) : row.kept + note;
    EXPECT_EQ(CutLongContent(row.content, row.max), expected) << row.content << " " << row.max;
  }
}

}  // namespace
