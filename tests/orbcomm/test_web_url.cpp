// Web addresses built from the community registration template: absolute
// http(s) addresses, paths relative to the base address, characters that may
// not stand in a URL, and texts that must never reach the shell.
#include <gtest/gtest.h>

#include "COrbHttp_Protocol_Web.h"

namespace {

TEST(WebUrl, BuildsSafeAddresses) {
  tagWEB_PROTOCOL_HEAD head;
  head.m_strBaseURL = "http://www.example.com/orb/index.html";
  COrbHttp_Protocol_Web web(&head);
  struct Row {
    const char* text;
    const char* url;
  };
  const Row rows[] = {
      {"http://a.example/join?id=1&name=x", "http://a.example/join?id=1&name=x"},
      {"  HTTPS://a.example/x  ", "HTTPS://a.example/x"},
      {"register.asp?user=1001", "http://www.example.com/orb/register.asp?user=1001"},
      {"/root.asp", "http://www.example.com/root.asp"},
      {"join?name=张三", "http://www.example.com/orb/join?name=%E5%BC%A0%E4%B8%89"},
      {"join?q=a b\"<x>", "http://www.example.com/orb/join?q=a%20b%22%3Cx%3E"},
      {"join?p=50%25&r=5%", "http://www.example.com/orb/join?p=50%25&r=5%25"},
      {"", ""},
      {"   ", ""},
      {"file:///C:/windows/system32/calc.exe", ""},
      {"C:\\windows\\notepad.exe", ""},
      {"javascript:alert(1)", ""},
      {"mailto:a@b.c", ""},
      {"http:/only-one-slash", ""},
      {"http:///no-host", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_STREQ(web.GetWebURL(row.text), row.url);
  }
}

TEST(WebUrl, RelativeTextsNeedAWebBase) {
  tagWEB_PROTOCOL_HEAD head;
  COrbHttp_Protocol_Web noBase(&head);
  EXPECT_STREQ(noBase.GetWebURL("join.asp"), "");
  EXPECT_STREQ(noBase.GetWebURL("http://a.example/"), "http://a.example/");
  COrbHttp_Protocol_Web noHead(nullptr);
  EXPECT_STREQ(noHead.GetWebURL("join.asp"), "");
  head.m_strBaseURL = "file:///C:/";
  COrbHttp_Protocol_Web fileBase(&head);
  EXPECT_STREQ(fileBase.GetWebURL("join.asp"), "");
  head.m_strBaseURL = "http://host.example";
  COrbHttp_Protocol_Web bareHost(&head);
  EXPECT_STREQ(bareHost.GetWebURL("join.asp"), "http://host.example/join.asp");
}

}  // namespace
