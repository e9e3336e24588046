// Single-file web pages: GetMHT, MhtToHtml (ours and another program's),
// SaveToMHT.
#include <gtest/gtest.h>

#include "CodePage.h"
#include "HtmlEditTestSupport.h"

namespace {

using HtmlEditTest::Folder;
using HtmlEditTest::Host;

// The src of the n-th IMG of some HTML.
CString NthSource(const CString& html, int n) {
  int at = -1;
  for (int i = 0; i <= n; ++i) {
    at = html.Find("<IMG src=\"", at + 1);
    if (at < 0) return CString();
  }
  const int start = at + 10;
  return html.Mid(start, html.Find('"', start) - start);
}

TEST(Mht, PicturesComeBackByteForByte) {
  Host host;
  Folder folder;
  const CString pictures[] = {folder.File("动图.gif"), folder.File("照片.jpg"), folder.File("图.png"),
                              folder.File("位图.bmp")};
  for (const CString& path : pictures) ASSERT_TRUE(HtmlEditTest::WritePicture(path, 30, 20, RGB(10, 200, 30)));
  CHtmlEdit& editor = host.Editor();
  editor.SetHtml("<FONT color=#FF0000 size=4>图片：</FONT>");
  ::SendMessageW(editor, EM_SETSEL, static_cast<WPARAM>(-1), -1);
  for (const CString& path : pictures) editor.PasteHTMLAtCurrentSelection("<img src=\"" + path + "\">", 0);
  // The same picture twice is one part.
  editor.PasteHTMLAtCurrentSelection("<img src=\"" + pictures[0] + "\">", 0);
  const CString mht = editor.GetMHT();
  EXPECT_EQ(mht.Find("MIME-Version: 1.0\r\n"), mht.Find("MIME-Version"));
  EXPECT_GE(mht.Find("Content-Type: multipart/related;"), 0);
  EXPECT_GE(mht.Find("charset=\"gb2312\""), 0);
  for (const CString& path : pictures) {
    EXPECT_GE(mht.Find("Content-Location: " + path + "\r\n"), 0) << path.GetString();
    EXPECT_GE(mht.Find("=3D\"" + path.Left(4)), 0);  // the HTML refers to it (quoted-printable)
  }
  int parts = 0;
  for (int at = mht.Find("Content-Transfer-Encoding: base64"); at >= 0;
       at = mht.Find("Content-Transfer-Encoding: base64", at + 1))
    ++parts;
  EXPECT_EQ(parts, 4);

  const CString html = host.View().MhtToHtml(mht);
  EXPECT_EQ(html.Find("<DIV><FONT size=4 color=#FF0000>图片：</FONT><IMG src=\""), 0) << html.GetString();
  const CString folderOfProcess = CHtmlEditCtrl2::GetPictureFolder();
  for (int i = 0; i < 4; ++i) {
    const CString unpacked = NthSource(html, i);
    EXPECT_EQ(unpacked.Find(folderOfProcess), 0) << unpacked.GetString();
    EXPECT_EQ(HtmlEditTest::ReadBytes(unpacked), HtmlEditTest::ReadBytes(pictures[i])) << i;
  }
  EXPECT_EQ(NthSource(html, 4), NthSource(html, 0));
  // The view shows them: no placeholders.
  host.View().AddHtml(html);
  host.View().FlushAppends();
  EXPECT_EQ(host.View().GetPictureCount(), 5);
  EXPECT_EQ(host.View().GetPlaceholderCount(), 0);
}

TEST(Mht, APageWrittenByAnotherProgramIsRead) {
  Host host;
  // A GIF of one red pixel, as another program would embed it.
  const char* gif = "R0lGODlhAQABAIAAAP8AAAAAACwAAAAAAQABAAACAkQBADs=";
  const CString mht = CString(
                          "MIME-Version: 1.0\r\n"
                          "Content-Type: multipart/related; boundary=\"--b=_x\"; type=\"text/html\"\r\n\r\n"
                          "preamble\r\n"
                          "----b=_x\r\n"
                          "Content-Type: text/html; charset=\"utf-8\"\r\n"
                          "Content-Transfer-Encoding: quoted-printable\r\n"
                          "Content-Location: file:///C:/Documents/page.htm\r\n\r\n"
                          "<html><body><p>=E4=BD=A0=E5=A5=BD <b>w=\r\norld</b></p>"
                          "<img src=3D\"page_files/a%20b.gif\"><img src=3D\"cid:pic2@x\"><img src=3D\"http://x/y.gif\">"
                          "</body></html>\r\n"
                          "----b=_x\r\n"
                          "Content-Type: image/gif\r\n"
                          "Content-Transfer-Encoding: base64\r\n"
                          "Content-Location: file:///C:/Documents/page_files/a%20b.gif\r\n\r\n") +
                      gif + "\r\n----b=_x\r\nContent-Type: image/gif\r\nContent-ID: <pic2@x>\r\n"
                            "Content-Transfer-Encoding: base64\r\n\r\n" +
                      gif + "\r\n----b=_x--\r\n";
  const CString html = host.View().MhtToHtml(mht);
  const CString folder = CHtmlEditCtrl2::GetPictureFolder();
  EXPECT_EQ(html.Find("<DIV>你好 <B>world</B></DIV><DIV><IMG src=\"" + folder), 0) << html.GetString();
  EXPECT_EQ(NthSource(html, 1).Find(folder), 0);
  EXPECT_EQ(NthSource(html, 2), "http://x/y.gif");  // no such part: left as it was, shown as a placeholder
  host.View().SetHtml(html);
  EXPECT_EQ(host.View().GetPictureCount(), 3);
  EXPECT_EQ(host.View().GetPlaceholderCount(), 1);
  // Not a MIME text at all.
  EXPECT_EQ(host.View().MhtToHtml("<b>just html</b>"), "");
  EXPECT_EQ(host.View().MhtToHtml(""), "");
  EXPECT_EQ(host.View().MhtToHtml(nullptr), "");
}

TEST(Mht, SaveWritesAWholeFileOrLeavesTheOldOne) {
  Host host;
  Folder folder;
  host.Editor().SetHtml("<B>保存</B>");
  const CString path = folder.File("网页.mht");
  ASSERT_EQ(host.Editor().SaveToMHT(path), S_OK);
  EXPECT_EQ(HtmlEditTest::ReadBytes(path), host.Editor().GetMHT().Str());
  // The new file cannot be written (its temporary name is taken by a
  // folder): an error, and the old file is whole.
  const std::wstring blocker =
      CodePage::AnsiToWide(path) + L".~" + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
  ASSERT_TRUE(::CreateDirectoryW(blocker.c_str(), nullptr));
  host.Editor().SetHtml("<B>改了</B>");
  EXPECT_TRUE(FAILED(host.Editor().SaveToMHT(path)));
  ::RemoveDirectoryW(blocker.c_str());
  EXPECT_NE(HtmlEditTest::ReadBytes(path).find("=B1=A3=B4=E6"), std::string::npos);  // 保存 in gb2312
  EXPECT_TRUE(FAILED(host.Editor().SaveToMHT(folder.File("没有\\这个\\文件夹.mht"))));
  EXPECT_EQ(host.Editor().SaveToMHT(""), E_INVALIDARG);
}

}  // namespace
