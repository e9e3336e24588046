// The XML reader on the host XML layout: good documents in the encodings a
// configuration file comes in, documents that lack what is asked for, and
// documents that are not XML at all.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "CodePage.h"
#include "OrbXmlReader.h"

namespace {

// Literals in this file are code page 936; UTF-8 documents are made from them.
std::string Utf8(const char* ansi) { return CodePage::AnsiToUtf8(ansi); }

const char kPools[] =
    "<message>\r\n"
    "  <msgpool msgtype=\"5\" ans=\"orb.sys.ans\"/>\r\n"
    "  <msgpool msgtype=\"505\" req=\"orb.chat.req\" ans=\"  orb.chat.ans  \"/>\r\n"
    "  <msgpool msgtype=\"506\" req=\"群组请求\" ans=\"orb.group.ans\"/>\r\n"
    "</message>\r\n";

CString Lookup(const std::string& document, const char* direction, const char* code) {
  COrbXmlReader reader;
  return reader.GetSpecialStr(CString(document), "message.msgpool", direction, "msgtype", code);
}

TEST(OrbXmlReader, ReadsPoolNamesInEveryEncodingAFileComesIn) {
  const std::string utf8Body = Utf8(kPools);
  const std::string gbkBody = kPools;  // the literal is already code page 936
  struct Row {
    const char* label;
    std::string document;
  };
  const Row rows[] = {
      {"utf-8 declared", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n" + utf8Body},
      {"utf-8 with byte order mark", "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>" + utf8Body},
      {"utf-8 without declaration", utf8Body},
      {"declaration without encoding", "<?xml version=\"1.0\"?>" + utf8Body},
      {"gbk declared", "<?xml version=\"1.0\" encoding=\"GBK\"?>" + gbkBody},
      {"gb2312 declared", "<?xml version='1.0' encoding='gb2312' ?>" + gbkBody},
      {"code page 936 without declaration", gbkBody},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_STREQ(Lookup(row.document, "ans", "5"), "orb.sys.ans");
    EXPECT_STREQ(Lookup(row.document, "req", "505"), "orb.chat.req");
    EXPECT_STREQ(Lookup(row.document, "ans", "505"), "orb.chat.ans");  // blanks trimmed
    EXPECT_STREQ(Lookup(row.document, "req", "506"), "群组请求");       // back in code page 936
    EXPECT_STREQ(Lookup(row.document, "ans", "506"), "orb.group.ans");
  }
}

TEST(OrbXmlReader, ChoosesTheFirstMatchingElementAcrossSeveralParents) {
  const std::string document =
      "<cfg><group><item id=\"a\" v=\"first\"/></group>"
      "<group><item id=\"b\"><v> second &amp; more </v></item><item id=\"b\" v=\"later\"/></group></cfg>";
  COrbXmlReader reader;
  EXPECT_STREQ(reader.GetSpecialStr(document, "cfg.group.item", "v", "id", "a"), "first");
  // No attribute v on the first b: the text of its child element v is taken.
  EXPECT_STREQ(reader.GetSpecialStr(document, "cfg.group.item", "v", "id", "b"), "second & more");
  EXPECT_STREQ(reader.GetSpecialStr(document, "cfg", "v", "id", "a"), "");  // the root has no id
}

TEST(OrbXmlReader, GivesEmptyTextWhenSomethingAskedForIsMissing) {
  const std::string document = Utf8(kPools);
  COrbXmlReader reader;
  struct Row {
    const char* label;
    const char* path;
    const char* value;
    const char* attribute;
    const char* key;
  };
  const Row rows[] = {
      {"no such code", "message.msgpool", "ans", "msgtype", "507"},
      {"codes compare exactly", "message.msgpool", "ans", "msgtype", "50"},
      {"no request pool for code 5", "message.msgpool", "req", "msgtype", "5"},
      {"other root element", "messages.msgpool", "ans", "msgtype", "5"},
      {"other child element", "message.pool", "ans", "msgtype", "5"},
      {"path too deep", "message.msgpool.entry", "ans", "msgtype", "5"},
      {"element names are case-sensitive", "Message.msgpool", "ans", "msgtype", "5"},
      {"no such key attribute", "message.msgpool", "ans", "type", "5"},
      {"empty path", "", "ans", "msgtype", "5"},
      {"empty path part", "message..msgpool", "ans", "msgtype", "5"},
      {"empty value name", "message.msgpool", "", "msgtype", "5"},
      {"empty attribute name", "message.msgpool", "ans", "", "5"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_STREQ(reader.GetSpecialStr(document, row.path, row.value, row.attribute, row.key), "");
  }
  // An attribute that is there but empty, or only blanks, is "not configured".
  EXPECT_STREQ(reader.GetSpecialStr("<message><msgpool msgtype=\"5\" ans=\"  \"/></message>", "message.msgpool",
                                    "ans", "msgtype", "5"),
               "");
}

TEST(OrbXmlReader, GivesEmptyTextForDocumentsThatAreNotXml) {
  const char* const documents[] = {
      "",
      "   ",
      "message.msgpool ans=orb.sys.ans",
      "<message><msgpool msgtype=\"5\" ans=\"orb.sys.ans\"/>",              // not closed
      "<message><msgpool msgtype=\"5\" ans=\"orb.sys.ans\"></message>",     // crossed tags
      "<message><msgpool msgtype=\"5\" ans=\"orb.sys.ans\"/></message><x/>",  // two roots
      "<message><msgpool msgtype=5 ans=\"orb.sys.ans\"/></message>",        // unquoted attribute
      "<?xml version=\"1.0\" encoding=\"klingon\"?><message><msgpool msgtype=\"5\" ans=\"a\"/></message>",
      "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"GBK\"?><message><msgpool msgtype=\"5\" ans=\"a\"/></message>",
  };
  for (const char* document : documents) {
    SCOPED_TRACE(document);
    EXPECT_STREQ(Lookup(document, "ans", "5"), "");
  }
  // Bytes that are neither UTF-8 nor code page 936 under a UTF-8 declaration.
  EXPECT_STREQ(Lookup("<?xml version=\"1.0\" encoding=\"UTF-8\"?><message><msgpool msgtype=\"5\" ans=\"\xC4\xE3\"/>"
                      "</message>",
                      "ans", "5"),
               "");
}

TEST(OrbXmlReader, RefusesDocumentsWithADocumentTypeDeclaration) {
  // The host's file never needs a DTD, and its entities can blow a small
  // file up into megabytes of text.
  std::string big(20, 'x');
  std::string refs;
  for (int i = 0; i < 20; ++i) refs += "&big;";
  const std::string pools = "<message><msgpool msgtype=\"5\" ans=\"orb.sys.ans\"/></message>";
  struct Row {
    const char* label;
    std::string document;
    const char* expected;
  };
  const Row rows[] = {
      {"internal entity", "<!DOCTYPE message [<!ENTITY a \"orb.sys.ans\">]>"
                          "<message><msgpool msgtype=\"5\" ans=\"&a;\"/></message>", ""},
      {"entity expansion", "<?xml version=\"1.0\"?>\r\n<!DOCTYPE message [<!ENTITY big \"" + big + "\">]>"
                           "<message><msgpool msgtype=\"5\" ans=\"" + refs + "\"/></message>", ""},
      {"after a comment and blanks", "<?xml version=\"1.0\"?> <!-- c --> \r\n<!DOCTYPE message>" + pools, ""},
      {"UTF-8 byte order mark", "\xEF\xBB\xBF<!DOCTYPE message SYSTEM \"x.dtd\">" + pools, ""},
      {"declaration named in a comment only", "<!-- <!DOCTYPE message> -->" + pools, "orb.sys.ans"},
      {"declaration named in text only", "<?xml version=\"1.0\"?><message><msgpool msgtype=\"5\" "
                                         "ans=\"orb.sys.ans\"/><!-- <!DOCTYPE x> --></message>", "orb.sys.ans"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_STREQ(Lookup(row.document, "ans", "5"), row.expected);
  }
}

TEST(OrbXmlReader, ReadsTheLastOfVeryManySiblings) {
  // Siblings are walked one after the other; reaching the n-th by its index
  // from the first again made a long list take minutes.
  const int count = 200000;
  std::string document = "<message>";
  document.reserve(static_cast<size_t>(count) * 24 + 64);
  for (int i = 0; i < count; ++i) document += "<msgpool msgtype=\"" + std::to_string(i) + "\"/>";
  document += "<msgpool msgtype=\"last\" ans=\"orb.last.ans\"/></message>";
  EXPECT_STREQ(Lookup(document, "ans", "last"), "orb.last.ans");
}

}  // namespace
