// Received content is untrusted: which pictures a view shows, and hostile
// HTML and MHT texts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "CodePage.h"
#include "HtmlEditTestSupport.h"
#include "OrbTesting.h"
#include "Seams.h"

namespace {

using HtmlEditTest::Folder;
using HtmlEditTest::Host;

// Shows one IMG in a fresh view document; true when its picture is shown.
bool ViewShows(Host& host, const CString& source) {
  host.View().SetHtml("<img src=\"" + source + "\">");
  return host.View().GetPictureCount() == 1 && host.View().GetPlaceholderCount() == 0;
}

TEST(Untrusted, AViewShowsOnlyLocalPicturesFromItsOwnPlaces) {
  Host host;
  Folder folder;  // under the temporary folder
  const CString picture = folder.File("好.png");
  ASSERT_TRUE(HtmlEditTest::WritePicture(picture, 10, 10, RGB(255, 0, 0)));
  CString forward = picture;
  forward.Replace("\\", "/");
  const CString inside = folder.Path();  // "...\编辑器测试N_M\"
  struct Case {
    CString source;
    bool shown;
  } cases[] = {
      {picture, true},
      {forward, true},
      {"  " + picture + " ", true},
      {inside + "..\\" + inside.Mid(inside.Left(inside.GetLength() - 1).ReverseFind('\\') + 1) + "好.png", false},
      {inside + ".\\好.png", false},
      {"..\\..\\好.png", false},
      {"好.png", false},
      {"\\\\host\\share\\好.png", false},
      {"//host/share/好.png", false},
      {"\\\\?\\" + picture, false},
      {"\\\\.\\C:\\x.png", false},
      {"file:///" + forward, false},
      {"file://" + picture, false},
      {"http://example.com/x.png", false},
      {"https://example.com/x.png", false},
      {"javascript:alert(1)", false},
      {"data:image/png;base64,iVBORw0KGgo=", false},
      {"cid:picture@example", false},
      {picture + "::$DATA", false},
      {folder.File("没有.png"), false},
      {folder.Path(), false},
      {folder.File("好.png."), false},
  };
  for (const auto& c : cases) EXPECT_EQ(ViewShows(host, c.source), c.shown) << c.source.GetString();
  // A placeholder keeps its source: GetHtml writes it back as it came.
  host.View().SetHtml("<img src=\"javascript:alert(1)\">");
  EXPECT_EQ(host.View().GetHtml(), "<DIV><IMG src=\"javascript:alert(1)\"></DIV>");
}

TEST(Untrusted, AFileOutsideThoseIsShownAfterTheLocalUserPutItIntoAnEditor) {
  Host host;
  const CString outside = "C:\\orbhtmledit-本地\\";
  ::CreateDirectoryW(CodePage::AnsiToWide(outside).c_str(), nullptr);
  const CString picture = outside + "mine.bmp";
  ASSERT_TRUE(HtmlEditTest::WritePicture(picture, 8, 8, RGB(0, 0, 255)));
  EXPECT_FALSE(ViewShows(host, picture));
  host.Editor().PasteHTMLAtCurrentSelection("<img src=\"" + picture + "\">", 0);
  EXPECT_EQ(host.Editor().GetPlaceholderCount(), 0);
  EXPECT_TRUE(ViewShows(host, picture));  // the echo of the user's own message
  ::DeleteFileW(CodePage::AnsiToWide(picture).c_str());
  ::RemoveDirectoryW(CodePage::AnsiToWide(outside).c_str());
}

TEST(Untrusted, TheEmoticonFolderBesideTheHostIsShown) {
  Host host;
  Folder folder;
  OrbTesting::ScopedSeam<Seams::ModulePathFn> hostExe(Seams::SetHostExePath,
                                                     [&] { return folder.File("host.exe"); });
  // Put outside the temporary folder by name only: the rule is the
  // "Images\Face\" folder beside the host program.
  const CString faces = folder.File("Images\\");
  ::CreateDirectoryW(CodePage::AnsiToWide(faces).c_str(), nullptr);
  ::CreateDirectoryW(CodePage::AnsiToWide(faces + "Face\\").c_str(), nullptr);
  const CString face = faces + "Face\\1.gif";
  ASSERT_TRUE(HtmlEditTest::WritePicture(face, 1, 1, RGB(255, 255, 0)));
  EXPECT_TRUE(ViewShows(host, face));
  ::DeleteFileW(CodePage::AnsiToWide(face).c_str());
  ::RemoveDirectoryW(CodePage::AnsiToWide(faces + "Face\\").c_str());
  ::RemoveDirectoryW(CodePage::AnsiToWide(faces).c_str());
}

// Runs an operation and returns how long it took, in seconds.
template <class Fn>
double Seconds(Fn fn) {
  const double start = MicrosecondsNow();
  fn();
  return (MicrosecondsNow() - start) / 1e6;
}

TEST(BadInput, HostileHtmlGivesAClearDocumentQuickly) {
  Host host;
  CHtmlEdit& view = host.View();
  std::string deep;
  for (int i = 0; i < 10000; ++i) deep += "<FONT color=#00FF00><B><DIV>";
  deep += "深";
  std::string unbalanced = "</B></DIV><I><U>斜</B></FONT></I></I></P><DIV><SPAN style=\"color:\">a</DIV></SPAN></td>";
  std::string big(16u * 1024u * 1024u, 'x');
  for (std::size_t i = 0; i < big.size(); i += 4096) big.replace(i, 7, "<B>b</B>");
  std::string gbk = "\xC4\xE3\xBA\xC3\x81\xFF\xFF\x80\xA1";  // 你好, then broken double bytes
  std::string nul("前\0后", 5);
  struct Case {
    const char* name;
    const std::string* html;
    const char* text;  // how the view's text begins afterwards
  } cases[] = {
      // libxml2 gives up below 256 levels: an empty document.
      {"deep", &deep, ""},
      {"unbalanced", &unbalanced, "斜\r\na"},
      // Read up to its first 256 Ki characters, in paragraphs of at most 1024.
      {"16 MiB", &big, "b"},
      {"gbk", &gbk, "你好"},
      {"nul", &nul, "前"},
  };
  for (const auto& c : cases) {
    const double seconds = Seconds([&] {
      view.SetHtml(c.html->c_str());
      view.AddHtml(c.html->c_str());
      view.FlushAppends();
    });
    EXPECT_LT(seconds, 30.0) << c.name;
    const CString text = view.GetText(1);
    EXPECT_EQ(text.Left(static_cast<int>(std::strlen(c.text))), c.text) << c.name;
  }
  // A picture-only document: the text is empty, the HTML has "<IMG".
  view.SetHtml("<img src=\"http://x/\">");
  EXPECT_EQ(view.GetText(1), "");
  EXPECT_GE(view.GetHtml().Find("<IMG"), 0);
}

TEST(BadInput, HostileMhtWritesNothingOutsideTheComponentsFolder) {
  Host host;
  wchar_t temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  // The places the hostile parts name, and the plain part names directly in
  // the temporary folder: other tests running beside this one make and
  // remove files of their own there, so only these are counted.
  const std::wstring base(temp);
  const std::vector<std::wstring> outside = {base + L"evil.gif",      base + L"..\\evil.gif", L"C:\\Windows\\evil.gif",
                                             base + L"a.gif",         base + L"b.gif",         base + L"c.gif",
                                             base + L"d.gif",         base + L"p0.gif",        base + L"p4999.gif"};
  const auto filesOutside = [&] {
    int found = 0;
    for (const std::wstring& path : outside)
      if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) ++found;
    return found;
  };
  const int before = filesOutside();
  const std::string gif = "R0lGODlhAQABAIAAAP8AAAAAACwAAAAAAQABAAACAkQBADs=";
  const std::string head = "MIME-Version: 1.0\r\nContent-Type: multipart/related; boundary=\"B\"\r\n\r\n";
  const std::string html = "--B\r\nContent-Type: text/html\r\n\r\n<b>正文</b><img src=\"..\\..\\evil.gif\">\r\n";
  const auto part = [&](const std::string& location, const std::string& body) {
    return "--B\r\nContent-Type: image/gif\r\nContent-Transfer-Encoding: base64\r\nContent-Location: " + location +
           "\r\n\r\n" + body + "\r\n";
  };
  std::string many = head + html;
  for (int i = 0; i < 5000; ++i) many += part("p" + std::to_string(i) + ".gif", gif);
  many += "--B--\r\n";
  struct Case {
    const char* name;
    std::string mht;
  } cases[] = {
      {"escape", head + html + part("..\\..\\evil.gif", gif) + part("C:\\Windows\\evil.gif", gif) +
                     part("\\\\host\\share\\evil.gif", gif) + "--B--\r\n"},
      {"no boundary", "MIME-Version: 1.0\r\nContent-Type: multipart/related\r\n\r\n" + html +
                          part("a.gif", gif) + "--B--\r\n"},
      {"broken base64", head + html + part("b.gif", "R0l!!GOD@@lh" + gif.substr(20)) + "--B--\r\n"},
      {"not a picture", head + html + part("c.gif", "PHNjcmlwdD5hbGVydCgxKTwvc2NyaXB0Pg==") + "--B--\r\n"},
      {"unterminated", head + html + part("d.gif", gif).substr(0, 60)},
      {"thousands of parts", many},
      {"headers only", "Content-Type: multipart/related; boundary=B\r\n"},
  };
  for (const auto& c : cases) {
    CString shown;
    const double seconds = Seconds([&] { shown = host.View().MhtToHtml(c.mht.c_str()); });
    EXPECT_LT(seconds, 30.0) << c.name;
    host.View().AddHtml(shown);
  }
  host.View().FlushAppends();
  EXPECT_EQ(filesOutside(), before);
  // The escaping part's picture is unpacked under a name of our own, and
  // the reference that tried to leave the folder is matched by its name only
  // when one part has it.
  const CString escaped = host.View().MhtToHtml(cases[0].mht.c_str());
  EXPECT_GE(escaped.Find("<DIV><B>正文</B><IMG src=\"" + CHtmlEditCtrl2::GetPictureFolder()), 0) << escaped.GetString();
}

}  // namespace
