// Lines wider than the control wrap, also Chinese text without blanks after
// the conversation's four-blank paragraph indent.
#include <gtest/gtest.h>

#include <richedit.h>

#include "HtmlEditTestSupport.h"

namespace {

int LineCount(CHtmlEdit& control) {
  return static_cast<int>(::SendMessageA(control.m_hWnd, EM_GETLINECOUNT, 0, 0));
}

TEST(Wrap, IndentedChineseParagraphsWrapAndKeepTheirBlanks) {
  HtmlEditTest::Host host;
  const CString text = "这条消息换了字体、字号和颜色，还带一个表情：";  // about 700 pixels at size 6
  const CString indent = "<FONT size=2 face=Serif>&nbsp;&nbsp;&nbsp;&nbsp;</FONT>";
  host.View().SetHtml("<html><body></body></html>");
  host.View().AddHtml("<DIV>" + indent + "<FONT size=6>" + text + "</FONT></DIV>");
  EXPECT_GE(LineCount(host.View()), 3) << "the view is about 300 pixels wide";
  EXPECT_EQ(host.View().GetText(1), "    " + text);
  EXPECT_NE(host.View().GetHtml().Find("&nbsp;&nbsp;&nbsp;&nbsp;"), -1);

  host.Editor().SetHtml("<html><body>" + indent + text + text + "</body></html>");
  EXPECT_GE(LineCount(host.Editor()), 2);
}

}  // namespace
