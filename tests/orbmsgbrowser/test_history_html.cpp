// The viewer's text side: the search word marked in text only (never inside a
// tag, an entity taken as its character), a record's header and content made
// safe, long contents cut, and an exported page that carries no markup of
// anyone's message.
#include <gtest/gtest.h>

#include "HistoryHtml.h"

namespace {

constexpr char kOpen[] = "<FONT style=\"BACKGROUND-COLOR: #FFFF00\">";

CString Marked(const char* text) { return CString(kOpen) + text + "</FONT>"; }

InfoStoredMsg Row(const char* from, const char* fromId, const char* abstract, const char* body) {
  InfoStoredMsg row;
  row.m_nId = 1;
  row.m_strStoredAt = "2026-12-08 12:00:00";
  row.m_msg.from = from;
  row.m_msg.from_id = fromId;
  row.m_msg.abstract = abstract;
  row.m_msg.body = body;
  return row;
}

TEST(HistoryHtml, MarksTheWordInTextOnly) {
  struct Case {
    const char* html;
    const char* word;
    CString expected;
  };
  const Case cases[] = {
      {"<FONT color=red>Hello hello</FONT>", "HELLO",
       CString("<FONT color=red>") + Marked("Hello") + " " + Marked("hello") + "</FONT>"},
      {"<FONT face=melon>melon</FONT>", "melon", CString("<FONT face=melon>") + Marked("melon") + "</FONT>"},
      {"a &amp; b", "&", CString("a ") + Marked("&amp;") + " b"},
      {"今天的西瓜很甜", "西瓜", CString("今天的") + Marked("西瓜") + "很甜"},
      {"x &lt;b&gt; y", "<b>", CString("x ") + Marked("&lt;b&gt;") + " y"},
      {"aaa", "aa", Marked("aa") + "a"},
      {"<DIV>nothing here</DIV>", "div", "<DIV>nothing here</DIV>"},
      {"unchanged", "", "unchanged"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.html);
    EXPECT_STREQ(HistoryHtml::Highlight(c.html, c.word), c.expected);
  }
}

// "啊啊" is B0 A1 B0 A1; the bytes A1 B0 in its middle are another character
// ("“"), which the text does not hold: words match whole characters only.
TEST(HistoryHtml, MatchesWholeCharactersOnly) {
  const CString text = "\xB0\xA1\xB0\xA1";  // 啊啊
  const CString across = "\xA1\xB0";          // 啊's trail byte and lead byte: 'ˇ'-like, not in the text
  EXPECT_STREQ(HistoryHtml::Highlight(text, across), text);
}

TEST(HistoryHtml, RecordHeaderAndContentAreSafe) {
  const CString html = HistoryHtml::RecordFragment(Row("<b>坏人</b>", "2002", "", "<DIV>正文</DIV>"), "张三、李四", "", {});
  EXPECT_NE(html.Find("&lt;b&gt;坏人&lt;/b&gt;"), -1);
  EXPECT_EQ(html.Find("<b>"), -1);
  EXPECT_NE(html.Find("[张三、李四]"), -1);
  EXPECT_NE(html.Find("2026-12-08 12:00:00"), -1);
  EXPECT_NE(HistoryHtml::RecordFragment(Row("", "", "通知", ""), "", "", {}).Find("系统消息"), -1);

  // A web-page body goes through the converter; without one its text shows.
  InfoStoredMsg page = Row("张三", "1001", "网页正文", "MIME-Version: 1.0\r\nContent-Type: text/html\r\n\r\n<B>x</B>");
  page.m_msg.url = "mht";
  EXPECT_NE(HistoryHtml::RecordFragment(page, "", "", [](const CString&) { return CString("<B>转换后</B>"); }).Find("转换后"), -1);
  EXPECT_NE(HistoryHtml::RecordFragment(page, "", "", {}).Find("网页正文"), -1);
}

TEST(HistoryHtml, LongContentIsCutToItsStart) {
  CString body = "<DIV>";
  for (int i = 0; i < 5000; ++i) body += "长";
  body += "</DIV>";
  const CString html = HistoryHtml::RecordFragment(Row("张三", "1001", "", body), "", "", {});
  EXPECT_LT(html.GetLength(), HistoryHtml::kMaxShownContent + 600);
  EXPECT_NE(html.Find("内容过长"), -1);
}

TEST(HistoryHtml, ExportCarriesTextNotMarkup) {
  std::vector<InfoStoredMsg> rows = {Row("张三", "1001", "", "<DIV>第一</DIV><SCRIPT>alert(1)</SCRIPT><DIV>第二行</DIV>"),
                                     Row("李四", "1002", "a<b & \"c\"", "")};
  const CString page = HistoryHtml::ExportPage("消息记录 - <张三>", rows);
  EXPECT_NE(page.Find("charset=gb2312"), -1);
  EXPECT_EQ(page.Find("<SCRIPT>"), -1);
  EXPECT_EQ(page.Find("alert"), -1);
  EXPECT_NE(page.Find("第一<BR>第二行"), -1);
  EXPECT_NE(page.Find("a&lt;b &amp; &quot;c&quot;"), -1);
  EXPECT_NE(page.Find("&lt;张三&gt;"), -1);
  EXPECT_LT(page.Find("张三&nbsp;"), page.Find("李四&nbsp;"));  // in the order given
}

}  // namespace
