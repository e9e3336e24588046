// HTML in, HTML and text out; formatting on the selection and on typing;
// the clipboard through the framework's seam; undo; the view's appends.
#include <gtest/gtest.h>
#include <richedit.h>

#include "HtmlEditTestSupport.h"
#include "OrbTesting.h"

namespace {

using HtmlEditTest::Folder;
using HtmlEditTest::Host;

void Select(CHtmlEdit& control, LONG from, LONG to) {
  CHARRANGE range{from, to};
  ::SendMessageW(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void Type(CHtmlEdit& control, const wchar_t* text) {
  for (const wchar_t* c = text; *c; ++c) ::SendMessageW(control, WM_CHAR, *c, 1);
}

TEST(HtmlRoundTrip, WhatGoesInComesOutAsTheModuleWritesIt) {
  struct Case {
    const char* in;
    const char* html;
    const char* text;
  } cases[] = {
      {"<FONT color=#FF0000 size=5 face=Arial>红字</FONT>", "<DIV><FONT face=Arial size=5 color=#FF0000>红字</FONT></DIV>",
       "红字"},
      {"<font color=red size=+1>大</font>", "<DIV><FONT size=4 color=#FF0000>大</FONT></DIV>", "大"},
      {"<B>粗</B><STRONG>体</STRONG><I>斜</I><EM>体</EM><U>线</U>", "<DIV><B>粗体</B><I>斜体</I><U>线</U></DIV>",
       "粗体斜体线"},
      {"<SPAN style=\"COLOR: rgb(0,128,0); BACKGROUND-COLOR: #ffff00; FONT-SIZE: 14pt; FONT-WEIGHT: bold\">绿</SPAN>",
       "<DIV><FONT size=4 color=#008000 style=\"BACKGROUND-COLOR: #FFFF00\"><B>绿</B></FONT></DIV>", "绿"},
      {"<FONT style=\"BACKGROUND-COLOR: #0000ff\">底色</FONT>",
       "<DIV><FONT style=\"BACKGROUND-COLOR: #0000FF\">底色</FONT></DIV>", "底色"},
      {"<DIV>一</DIV><DIV>二</DIV><P>三</P>四<BR>五", "<DIV>一</DIV><DIV>二</DIV><DIV>三</DIV><DIV>四</DIV><DIV>五</DIV>",
       "一\r\n二\r\n三\r\n四\r\n五"},
      {"<DIV>甲</DIV><DIV></DIV><DIV>&nbsp;</DIV><DIV>乙</DIV>", "<DIV>甲</DIV><DIV>&nbsp;</DIV><DIV>乙</DIV>",
       "甲\r\n \r\n乙"},
      {"&lt;b&gt; &amp; &quot;引号&quot;&nbsp;&nbsp;两个", "<DIV>&lt;b&gt; &amp; \"引号\"&nbsp;&nbsp;两个</DIV>",
       "<b> & \"引号\"  两个"},
      {"  前后  多个   空格  ", "<DIV>前后 多个 空格</DIV>", "前后 多个 空格"},
      {"<TABLE><TR><TD>格</TD><TD>子</TD></TR></TABLE><A href=\"http://x.example/\">链接</A>",
       "<DIV>格 子</DIV><DIV>链接</DIV>", "格 子\r\n链接"},
      {"<SCRIPT>alert('x')</SCRIPT><STYLE>p{}</STYLE>正文<!-- 注释 -->", "<DIV>正文</DIV>", "正文"},
      {"<FONT face=\"Times New Roman\">T</FONT>", "<DIV><FONT face=\"Times New Roman\">T</FONT></DIV>", "T"},
  };
  Host host;
  for (const auto& c : cases) {
    host.Editor().SetHtml(c.in);
    EXPECT_EQ(host.Editor().GetHtml(), c.html) << c.in;
    EXPECT_EQ(host.Editor().GetText(1), c.text) << c.in;
    // What GetHtml wrote reads back the same.
    host.View().SetHtml(host.Editor().GetHtml());
    EXPECT_EQ(host.View().GetHtml(), c.html) << c.in;
  }
  // Characters code page 936 cannot hold travel as character references.
  host.Editor().SetHtml("笑&#128512;&#54620;");
  EXPECT_EQ(host.Editor().GetHtml(), "<DIV>笑&#128512;&#54620;</DIV>");
}

TEST(HtmlRoundTrip, PicturesComeBackAsUpperCaseTagsWithTheirPath) {
  Host host;
  Folder folder;
  const CString gif = folder.File("笑脸.gif"), png = folder.File("图.png");
  ASSERT_TRUE(HtmlEditTest::WritePicture(gif, 16, 16, RGB(255, 0, 0)));
  ASSERT_TRUE(HtmlEditTest::WritePicture(png, 20, 10, RGB(0, 0, 255)));
  CHtmlEdit& editor = host.Editor();
  editor.SetHtml("<img src=\"" + gif + "\">");
  EXPECT_EQ(editor.GetHtml(), "<DIV><IMG src=\"" + gif + "\"></DIV>");
  EXPECT_EQ(editor.GetText(1), "");
  EXPECT_EQ(editor.GetPictureCount(), 1);
  EXPECT_EQ(editor.GetPlaceholderCount(), 0);
  editor.SetHtml("前<IMG SRC='" + png + "'>后<embed src=\"" + gif + "\"><img>");
  EXPECT_EQ(editor.GetHtml(), "<DIV>前<IMG src=\"" + png + "\">后<EMBED src=\"" + gif + "\"></DIV>");
  EXPECT_EQ(editor.GetText(1), "前后");
}

TEST(HtmlEditor, TheEditorPageSetsTheFormatOfWhatIsTyped) {
  Host host;
  CHtmlEdit& editor = host.Editor();
  // As MakePageHtml writes it, for "MS Sans Serif", size 5, red on yellow.
  editor.SetHtml(
      "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n<HTML>\r\n<HEAD>\r\n"
      "<META http-equiv=Content-Type content=\"text/html; charset=gb2312\">\r\n<STYLE>\r\nBody{\r\n"
      "      scrollbar-arrow-color: #0000CD;  \r\n    }\r\n</STYLE>\r\n</HEAD>\r\n\r\n<BODY bgColor=#ffffff>\r\n"
      "<FONT style=\"BACKGROUND-COLOR: #FFFF00\" color=#FF0000 size=5 face= Serif>\r\n<DIV></DIV>\r\n</BODY>\r\n</HTML>\r\n");
  EXPECT_EQ(editor.GetHtml(), "");
  EXPECT_EQ(editor.GetText(1), "");
  editor.Activate();
  Type(editor, L"你好");
  EXPECT_EQ(editor.GetHtml(), "<DIV><FONT face=Serif size=5 color=#FF0000 style=\"BACKGROUND-COLOR: #FFFF00\">你好</FONT></DIV>");
  // The view's empty page has no FONT: the control's default format.
  host.View().SetHtml("<HTML><BODY bgColor=#ffffff>\r\n<DIV></DIV>\r\n</BODY></HTML>");
  EXPECT_EQ(host.View().GetHtml(), "");
}

TEST(HtmlEditor, FormatGoesOnTheSelectionOrOnWhatIsTypedNext) {
  Host host;
  CHtmlEdit& editor = host.Editor();
  editor.SetHtml("一二三");
  Select(editor, 1, 2);
  EXPECT_EQ(editor.FontName("Arial"), S_OK);
  EXPECT_EQ(editor.FontSize(6), S_OK);
  EXPECT_EQ(editor.FontForeColor(RGB(0, 0, 255)), S_OK);
  EXPECT_EQ(editor.FontBackColor(RGB(255, 255, 0)), S_OK);
  EXPECT_EQ(editor.GetHtml(),
            "<DIV>一<FONT face=Arial size=6 color=#0000FF style=\"BACKGROUND-COLOR: #FFFF00\">二</FONT>三</DIV>");
  EXPECT_EQ(editor.FontSize(0), E_INVALIDARG);
  EXPECT_EQ(editor.FontSize(8), E_INVALIDARG);
  EXPECT_EQ(editor.FontName(""), E_INVALIDARG);
  Select(editor, 3, 3);
  editor.FontForeColor(RGB(0, 128, 0));
  Type(editor, L"四");
  EXPECT_EQ(editor.GetHtml(),
            "<DIV>一<FONT face=Arial size=6 color=#0000FF style=\"BACKGROUND-COLOR: #FFFF00\">二</FONT>三"
            "<FONT color=#008000>四</FONT></DIV>");
  // Undo takes back the typing, then the four format changes one by one.
  EXPECT_EQ(editor.Undo(), S_OK);
  EXPECT_EQ(editor.GetText(1), "一二三");
}

TEST(HtmlEditor, PastedHtmlGoesWhereTheSelectionIsAndUndoTakesItBackWhole) {
  Host host;
  Folder folder;
  const CString face = folder.File("脸.gif");
  ASSERT_TRUE(HtmlEditTest::WritePicture(face, 8, 8, RGB(0, 200, 0)));
  CHtmlEdit& editor = host.Editor();
  editor.SetHtml("<FONT color=#FF0000>开头结尾</FONT>");
  Select(editor, 2, 2);
  EXPECT_EQ(editor.PasteHTMLAtCurrentSelection("<B>中</B><img src=\"" + face + "\">间", FALSE), S_OK);
  EXPECT_EQ(editor.GetHtml(), "<DIV><FONT color=#FF0000>开头<B>中</B></FONT><IMG src=\"" + face +
                                  "\"><FONT color=#FF0000>间结尾</FONT></DIV>");
  CHARRANGE caret{};
  ::SendMessageW(editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  EXPECT_EQ(caret.cpMin, 5);  // after the pasted content
  EXPECT_EQ(editor.Undo(), S_OK);
  EXPECT_EQ(editor.GetHtml(), "<DIV><FONT color=#FF0000>开头结尾</FONT></DIV>");
  // With the flag set the caret stays before what was pasted; a selection
  // is replaced.
  Select(editor, 0, 2);
  editor.PasteHTMLAtCurrentSelection("新", TRUE);
  EXPECT_EQ(editor.GetText(1), "新结尾");
  ::SendMessageW(editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  EXPECT_EQ(caret.cpMin, 0);
}

TEST(HtmlEditor, ClipboardGoesThroughTheSeam) {
  OrbTesting::FakeClipboard clipboard;
  Host host;
  Folder folder;
  const CString face = folder.File("红.png");
  ASSERT_TRUE(HtmlEditTest::WritePicture(face, 12, 12, RGB(255, 0, 0)));
  CHtmlEdit& editor = host.Editor();
  editor.SetHtml("<DIV><B>粗</B>细</DIV><DIV>二行</DIV>");
  editor.SelectAll();
  EXPECT_EQ(editor.Copy(), S_OK);
  EXPECT_TRUE(clipboard.HasText());
  clipboard.Open(nullptr);
  EXPECT_EQ(clipboard.GetText(), "粗细\r\n二行");
  clipboard.Close();
  // Pasting what this module copied keeps the formatting.
  Select(editor, -1, -1);
  EXPECT_EQ(editor.Paste(), S_OK);
  EXPECT_EQ(editor.GetHtml(), "<DIV><B>粗</B>细</DIV><DIV>二行</DIV><DIV><B>粗</B>细</DIV><DIV>二行</DIV>");
  // Text from elsewhere is text, markup and all.
  clipboard.Open(nullptr);
  clipboard.SetText("<b>外</b>\r\n来");
  clipboard.Close();
  editor.SetHtml("");
  EXPECT_EQ(editor.Paste(), S_OK);
  EXPECT_EQ(editor.GetHtml(), "<DIV>&lt;b&gt;外&lt;/b&gt;</DIV><DIV>来</DIV>");
  // Cut takes the selection away; Delete takes the next character.
  Select(editor, 0, 3);
  EXPECT_EQ(editor.Cut(), S_OK);
  EXPECT_EQ(editor.GetText(1), "外</b>\r\n来");
  Select(editor, 0, 0);
  EXPECT_EQ(editor.Delete(), S_OK);
  EXPECT_EQ(editor.GetText(1), "</b>\r\n来");
  // A lone picture goes as a bitmap; a bitmap comes back as a picture file
  // of the component's folder.
  editor.SetHtml("<IMG src=\"" + face + "\">");
  editor.SelectAll();
  EXPECT_EQ(editor.Copy(), S_OK);
  EXPECT_TRUE(clipboard.HasBitmap());
  HBITMAP bitmap = ::CreateBitmap(5, 5, 1, 32, nullptr);
  clipboard.Open(nullptr);
  clipboard.SetBitmap(bitmap);
  clipboard.Close();
  ::DeleteObject(bitmap);
  editor.SetHtml("");
  EXPECT_EQ(editor.Paste(), S_OK);
  const CString html = editor.GetHtml();
  EXPECT_EQ(html.Find("<DIV><IMG src=\"" + CHtmlEditCtrl2::GetPictureFolder()), 0) << html.GetString();
  EXPECT_EQ(editor.GetPlaceholderCount(), 0);
  // A view can be copied from but not changed; a busy clipboard is refused.
  host.View().SetHtml("只读");
  host.View().SelectAll();
  EXPECT_EQ(host.View().Copy(), S_OK);
  EXPECT_EQ(host.View().Paste(), E_ACCESSDENIED);
  EXPECT_EQ(host.View().Cut(), E_ACCESSDENIED);
  EXPECT_EQ(host.View().Delete(), E_ACCESSDENIED);
  EXPECT_EQ(host.View().GetText(1), "只读");
  clipboard.SetBusy(true);
  EXPECT_EQ(editor.Paste(), E_ACCESSDENIED);
}

TEST(HtmlView, AppendsScrollToTheEndOnlyForAReaderAtTheEnd) {
  Host host;
  CHtmlEdit& view = host.View();
  EXPECT_EQ(view.Navigate("http://example.com/"), E_ACCESSDENIED);
  EXPECT_EQ(view.Navigate(" ABOUT:BLANK "), S_OK);
  for (int i = 0; i < 60; ++i) {
    CString line;
    line.Format("<FONT color=#0000FF size=2>甲 说:</FONT><DIV>第 %d 行</DIV><DIV></DIV>", i);
    view.AddHtml(line);
  }
  OrbTesting::PumpPending();
  const auto scrollTop = [&] {
    POINT position{};
    ::SendMessageW(view, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&position));
    return position.y;
  };
  const LONG bottom = scrollTop();
  EXPECT_GT(bottom, 0);
  EXPECT_EQ(view.GetText(1).Left(15), "甲 说:\r\n第 0 行");
  // A reader who scrolled up stays where they are.
  POINT top{0, 0};
  ::SendMessageW(view, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&top));
  view.AddHtml("<DIV>新消息</DIV>");
  OrbTesting::PumpPending();
  EXPECT_EQ(scrollTop(), 0);
  // A reader at the end follows.
  ::SendMessageW(view, WM_VSCROLL, SB_BOTTOM, 0);
  view.AddHtml("<DIV>又一条</DIV>");
  view.FlushAppends();
  EXPECT_GT(scrollTop(), bottom);
  // Read-only: typing changes nothing.
  Type(view, L"字");
  EXPECT_EQ(view.GetText(1).Right(14), "新消息\r\n又一条");
}

}  // namespace
