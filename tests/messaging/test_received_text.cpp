// Reading texts popped from the answer pools: what is a JSON object, the
// failure answers, the message fields, and hostile input.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "messaging/ReceivedText.h"

namespace {

CReceivedText Parse(const std::string& text) { return CReceivedText::Parse(CString(text)); }

// A literal with its embedded NUL bytes, without the terminating one.
template <size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

struct ShapeRow {
  const char* name;
  std::string text;
  ReceivedError expected;
};
void PrintTo(const ShapeRow& row, std::ostream* os) { *os << row.name; }

class ReceivedShapeTest : public testing::TestWithParam<ShapeRow> {};

TEST_P(ReceivedShapeTest, DecidesWhetherTheTextIsAnObject) {
  const ShapeRow& row = GetParam();
  const CReceivedText text = Parse(row.text);
  EXPECT_EQ(text.GetError(), row.expected) << row.name;
  EXPECT_EQ(text.IsJson(), row.expected == ReceivedError::None) << row.name;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReceivedShapeTest,
    testing::Values(ShapeRow{"blanks around the object", " \t\r\n{\"a\":1} \r\n ", ReceivedError::None},
                    ShapeRow{"empty object", "{}", ReceivedError::None},
                    ShapeRow{"comments are allowed", "{/* c */ \"body\":\"x\" // y\n}", ReceivedError::None},
                    ShapeRow{"empty text", "", ReceivedError::NotBraced},
                    ShapeRow{"only blanks", "   ", ReceivedError::NotBraced},
                    ShapeRow{"lone brace", "{", ReceivedError::NotBraced},
                    ShapeRow{"array", "[{\"a\":1}]", ReceivedError::NotBraced},
                    ShapeRow{"plain text", "ok", ReceivedError::NotBraced},
                    ShapeRow{"braces around garbage", "{not json}", ReceivedError::ParseFailed},
                    ShapeRow{"unterminated string", "{\"a\":\"b}", ReceivedError::ParseFailed},
                    ShapeRow{"two objects in a row", "{\"a\":1} {\"b\":2}", ReceivedError::ParseFailed},
                    ShapeRow{"NUL byte between tokens", Bytes("{\"a\":1,\0\"b\":2}"),
                             ReceivedError::ParseFailed}),
    [](const testing::TestParamInfo<ShapeRow>& info) { return "Row" + std::to_string(info.index); });

TEST(ReceivedText, ReadsEveryFieldIntoItsPlace) {
  const CReceivedText text = Parse(
      "{\"abstract\":\"A\",\"body\":\"B\",\"from\":\"F\",\"from_id\":\"c9\",\"msg_id\":\"M\",\"msg_type\":\"505\","
      "\"publish_time\":\"20240102030405\",\"thread_id\":\"T\",\"thread_members\":\"c1,c9\",\"title\":\"Ti\","
      "\"url\":\"mht\",\"other\":[1,2]}");
  ASSERT_TRUE(text.IsJson());
  const struct {
    ReceivedKey key;
    const char* name;
    const char* value;
  } rows[] = {{ReceivedKey::Abstract, "abstract", "A"},
              {ReceivedKey::Body, "body", "B"},
              {ReceivedKey::From, "from", "F"},
              {ReceivedKey::FromId, "from_id", "c9"},
              {ReceivedKey::MsgId, "msg_id", "M"},
              {ReceivedKey::MsgType, "msg_type", "505"},
              {ReceivedKey::PublishTime, "publish_time", "20240102030405"},
              {ReceivedKey::ThreadId, "thread_id", "T"},
              {ReceivedKey::ThreadMembers, "thread_members", "c1,c9"},
              {ReceivedKey::Title, "title", "Ti"},
              {ReceivedKey::Url, "url", "mht"}};
  for (const auto& row : rows) {
    EXPECT_STREQ(CReceivedText::KeyName(row.key), row.name);
    EXPECT_TRUE(text.Has(row.key)) << row.name;
    EXPECT_STREQ(text.Get(row.key), row.value) << row.name;
  }
  EXPECT_FALSE(text.HasStatus());
  EXPECT_FALSE(text.IsFailure());
  EXPECT_TRUE(text.GetIgnoredKeys().empty());  // unknown keys are not reported
}

TEST(ReceivedText, NullCountsAsAbsent) {
  const CReceivedText text = Parse("{\"issuccessful\":null,\"errorinfo\":null,\"thread_members\":null,\"body\":\"x\"}");
  ASSERT_TRUE(text.IsJson());
  EXPECT_FALSE(text.HasStatus());
  EXPECT_FALSE(text.HasErrorInfo());
  EXPECT_FALSE(text.Has(ReceivedKey::ThreadMembers));
  EXPECT_TRUE(text.Has(ReceivedKey::Body));
}

TEST(ReceivedText, FailureAnswerGivesItsLine) {
  // "忙" in UTF-8, as the server sends error messages.
  const CReceivedText text = Parse("{\"issuccessful\":3,\"errorinfo\":\"busy \xE5\xBF\x99\"}");
  ASSERT_TRUE(text.IsFailure());
  EXPECT_EQ(text.GetErrorCode(), 3);
  EXPECT_STREQ(text.GetErrorInfo(), "busy 忙");
  EXPECT_STREQ(text.FormatFailureLine(), "[3]:busy 忙");
  const CReceivedText bare = Parse("{\"issuccessful\":-7}");
  EXPECT_TRUE(bare.IsFailure());
  EXPECT_FALSE(bare.HasErrorInfo());
  EXPECT_STREQ(bare.FormatFailureLine(), "[-7]:");
}

TEST(ReceivedText, OtherStringsAreTakenAsDelivered) {
  // Raw bytes stay as they are (code page 936 from the server); only
  // "errorinfo" is converted.
  const CReceivedText raw = Parse("{\"body\":\"中文\",\"errorinfo\":\"\xE4\xB8\xAD\"}");
  EXPECT_STREQ(raw.Get(ReceivedKey::Body), "中文");
  EXPECT_STREQ(raw.GetErrorInfo(), "中");
  const CReceivedText escaped = Parse("{\"body\":\"\\u4e2d\\n\"}");
  EXPECT_STREQ(escaped.Get(ReceivedKey::Body), "\xE4\xB8\xAD\n");
}

struct StatusRow {
  const char* value;  // JSON text of "issuccessful"
  bool failure;
  int code;
};

TEST(ReceivedText, StatusOfEveryTypeGivesACode) {
  const StatusRow rows[] = {
      {"0", false, 0},
      {"2", true, 2},
      {"-3", true, -3},
      {"2.9", true, 2},
      {"0.0", false, 0},
      {"\"4\"", true, 4},
      {"\"0\"", false, 0},
      {"true", true, 1},
      {"false", false, 0},
      {"\"busy\"", true, CReceivedText::kUnreadableCode},
      {"\" 4\"", true, CReceivedText::kUnreadableCode},
      {"\"\"", true, CReceivedText::kUnreadableCode},
      {"{\"a\":0}", true, CReceivedText::kUnreadableCode},
      {"[0]", true, CReceivedText::kUnreadableCode},
      {"5000000000", true, CReceivedText::kUnreadableCode},
      {"-1e300", true, CReceivedText::kUnreadableCode},
      {"18446744073709551615", true, CReceivedText::kUnreadableCode},
  };
  for (const StatusRow& row : rows) {
    const CReceivedText text = Parse(std::string("{\"issuccessful\":") + row.value + ",\"thread_members\":\"c1\"}");
    ASSERT_TRUE(text.IsJson()) << row.value;
    EXPECT_TRUE(text.HasStatus()) << row.value;
    EXPECT_EQ(text.IsFailure(), row.failure) << row.value;
    EXPECT_EQ(text.GetErrorCode(), row.code) << row.value;
  }
}

TEST(ReceivedText, WrongTypesForTextKeys) {
  const CReceivedText text =
      Parse("{\"msg_id\":123,\"thread_id\":true,\"publish_time\":1.5,\"title\":[1],\"body\":{\"x\":1},"
            "\"errorinfo\":{},\"thread_members\":\"c1\"}");
  ASSERT_TRUE(text.IsJson());
  EXPECT_STREQ(text.Get(ReceivedKey::MsgId), "123");
  EXPECT_STREQ(text.Get(ReceivedKey::ThreadId), "true");
  EXPECT_STREQ(text.Get(ReceivedKey::PublishTime), "1.5");
  EXPECT_FALSE(text.Has(ReceivedKey::Title));
  EXPECT_FALSE(text.Has(ReceivedKey::Body));
  EXPECT_FALSE(text.HasErrorInfo());
  EXPECT_STREQ(text.Get(ReceivedKey::ThreadMembers), "c1");
  ASSERT_EQ(text.GetIgnoredKeys().size(), 3u);
  EXPECT_STREQ(text.GetIgnoredKeys()[0], "errorinfo");
  EXPECT_STREQ(text.GetIgnoredKeys()[1], "body");
  EXPECT_STREQ(text.GetIgnoredKeys()[2], "title");
}

TEST(ReceivedText, NulBytesInsideValuesAreRemoved) {
  const CReceivedText escaped = Parse("{\"body\":\"a\\u0000b\",\"errorinfo\":\"x\\u0000y\"}");
  EXPECT_EQ(escaped.Get(ReceivedKey::Body).GetLength(), 2);
  EXPECT_STREQ(escaped.Get(ReceivedKey::Body), "ab");
  EXPECT_STREQ(escaped.GetErrorInfo(), "xy");
  const CReceivedText raw = Parse(Bytes("{\"body\":\"a\0b\"}"));
  ASSERT_TRUE(raw.IsJson());
  EXPECT_STREQ(raw.Get(ReceivedKey::Body), "ab");
}

TEST(ReceivedText, InvalidUtf8InErrorInfoKeepsTheValidPart) {
  const CReceivedText text = Parse("{\"issuccessful\":1,\"errorinfo\":\"\xFF\xFE ok \xC3\"}");
  ASSERT_TRUE(text.IsFailure());
  const CString info = text.GetErrorInfo();
  EXPECT_NE(info.Find(" ok "), -1) << info.GetString();
  EXPECT_GE(info.GetLength(), 5);
}

TEST(ReceivedText, DeepNestingIsRefusedNotACrash) {
  const int kDepth = 100000;
  std::string deep = "{\"a\":" + std::string(kDepth, '[') + std::string(kDepth, ']') + "}";
  const CReceivedText text = Parse(deep);
  EXPECT_EQ(text.GetError(), ReceivedError::ParseFailed);
  EXPECT_FALSE(text.HasStatus());
  EXPECT_FALSE(text.Has(ReceivedKey::ThreadMembers));
  // Nesting a real message never needs is still read.
  std::string shallow =
      "{\"thread_members\":\"c1\",\"x\":" + std::string(100, '[') + std::string(100, ']') + "}";
  const CReceivedText ok = Parse(shallow);
  ASSERT_TRUE(ok.IsJson());
  EXPECT_STREQ(ok.Get(ReceivedKey::ThreadMembers), "c1");
}

TEST(ReceivedText, HugeTexts) {
  // Just under the limit a long body is read whole.
  const int kBody = 4 * 1024 * 1024;
  const CReceivedText big = Parse("{\"body\":\"" + std::string(kBody, 'x') + "\"}");
  ASSERT_TRUE(big.IsJson());
  EXPECT_EQ(big.Get(ReceivedKey::Body).GetLength(), kBody);
  // Beyond the limit the text is refused without being read.
  const CReceivedText huge =
      Parse("{\"body\":\"" + std::string(CReceivedText::kMaxTextLength, 'x') + "\",\"thread_members\":\"c\"}");
  EXPECT_EQ(huge.GetError(), ReceivedError::TooLong);
  EXPECT_FALSE(huge.Has(ReceivedKey::ThreadMembers));
}

// Each thread parses its share and ends; the count of well-read texts comes
// back through an atomic counter.
constexpr int kTextsPerThread = 1000;
std::atomic<int> g_nReadTexts{0};

void ParseShare() {
  for (int i = 0; i < kTextsPerThread; ++i) {
    const CReceivedText text = Parse("{\"thread_id\":\"T" + std::to_string(i) + "\",\"issuccessful\":0}");
    if (text.IsJson() && text.Get(ReceivedKey::ThreadId) == CString("T" + std::to_string(i))) ++g_nReadTexts;
  }
}

DWORD WINAPI ParseShareThread(void*) {
  ParseShare();
  return 0;
}

TEST(ReceivedText, ThreadsThatParseAndEndLeaveTheProcessSound) {
  // Whatever a thread keeps for parsing must not outlive what the runtime
  // tears down when the thread ends: a std::thread crashed in its exit, a
  // system thread hung the process at exit.
  g_nReadTexts = 0;
  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i) threads.emplace_back(ParseShare);
  for (std::thread& thread : threads) thread.join();
  std::vector<HANDLE> handles;
  for (int i = 0; i < 4; ++i) handles.push_back(CreateThread(nullptr, 0, ParseShareThread, nullptr, 0, nullptr));
  for (HANDLE handle : handles) {
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(WaitForSingleObject(handle, INFINITE), WAIT_OBJECT_0);
    CloseHandle(handle);
  }
  EXPECT_EQ(g_nReadTexts.load(), 8 * kTextsPerThread);
  ParseShare();  // and the main thread still parses afterwards
  EXPECT_EQ(g_nReadTexts.load(), 9 * kTextsPerThread);
}

}  // namespace
