// The MQTT transport's pieces that need no broker: topics both ways, the
// payload written and read (Chinese, escapes, hostile input) and the broker
// address.
#include <gtest/gtest.h>

#include "COrbMqttServer.h"
#include "MqttRecord.h"
#include "MqttTopics.h"

namespace {

TEST(MqttTopicsTest, TopicsNameTheSenderAndReadBack) {
  MqttTopics topics;
  EXPECT_STREQ(topics.Inbox("c1002", "c1001"), "orbchat/u/c1002/from/c1001");
  EXPECT_STREQ(topics.InboxFilter("c1002"), "orbchat/u/c1002/from/+");
  EXPECT_STREQ(topics.Community("12", "c1001"), "orbchat/g/12/from/c1001");
  EXPECT_STREQ(topics.CommunityFilter("12"), "orbchat/g/12/from/+");

  MqttTopics::Parsed inbox = topics.Parse("orbchat/u/c1002/from/c1001");
  EXPECT_EQ(inbox.kind, MqttTopics::Kind::Inbox);
  EXPECT_STREQ(inbox.owner, "c1002");
  EXPECT_STREQ(inbox.sender, "c1001");
  MqttTopics::Parsed group = MqttTopics("corp").Parse("corp/g/12/from/t2001");
  EXPECT_EQ(group.kind, MqttTopics::Kind::Community);
  EXPECT_STREQ(group.owner, "12");
  EXPECT_STREQ(group.sender, "t2001");

  const char* const foreign[] = {
      "orbchat/u/c1002/from/c1001/x", "orbchat/u/c1002/to/c1001", "orbchat/x/c1002/from/c1001",
      "other/u/c1002/from/c1001",     "orbchat/u//from/c1001",    "orbchat/u/c1002/from/",
      "orbchat/u/c 1002/from/c1001",  "orbchatu/c1002/from/c1001", "orbchat/u/c1002/from/+",
  };
  for (const char* topic : foreign) EXPECT_EQ(topics.Parse(topic).kind, MqttTopics::Kind::None) << topic;
}

TEST(MqttTopicsTest, OnlyPlainIdsCanStandInATopic) {
  for (const char* id : {"c1001", "user.name@example-1_x", "A"}) EXPECT_TRUE(MqttTopics::IsUsableId(id)) << id;
  for (const char* id : {"", "a/b", "a+", "#", "a b", "张三", "a\tb", "x1234567890123456789012345678901234567890123456789012345678901234"})
    EXPECT_FALSE(MqttTopics::IsUsableId(id)) << id;
}

TEST(MqttRecordTest, APayloadIsUtf8JsonAndReadsBackToTheSameRecord) {
  InfoMsgStructer sent;
  sent.msg_id = "c1001-1";
  sent.msg_type = "505";
  sent.publish_time = "20261208130000";
  sent.thread_id = "S1c10011234";
  sent.thread_members = "c1001,c1002";
  sent.from_id = "c1001";
  sent.from = "张三";
  sent.abstract = "你好 \"引号\" \\ \t";
  sent.body = "<P>中文\r\n\xA4\x40\xB1\x5C</P>";  // GBK characters whose trail bytes are "@" and "\"
  sent.url = "mht";
  const std::string payload = MqttRecord::Payload(sent);
  EXPECT_TRUE(MqttRecord::IsUtf8(payload));
  EXPECT_NE(payload.find("\xE5\xBC\xA0\xE4\xB8\x89"), std::string::npos);  // 张三 in UTF-8
  EXPECT_EQ(payload.find("title"), std::string::npos);                    // empty fields are left out

  InfoMsgStructer read;
  CString error;
  ASSERT_TRUE(MqttRecord::Read(payload, read, error)) << error.GetString();
  EXPECT_STREQ(read.from, sent.from);
  EXPECT_STREQ(read.abstract, sent.abstract);
  EXPECT_STREQ(read.body, sent.body);
  EXPECT_STREQ(read.thread_members, sent.thread_members);
  EXPECT_STREQ(read.title, "");
  // The module's text is code page 936, as the embedded server writes it.
  const std::string text = MqttRecord::ModuleText(read);
  EXPECT_EQ(text.rfind("{\"issuccessful\":0,", 0), 0u);
  EXPECT_NE(text.find("\"from\":\"张三\""), std::string::npos);
}

TEST(MqttRecordTest, HostilePayloadsAreRefusedWithAReason) {
  struct Case {
    std::string payload;
    const char* reason;
  };
  const Case cases[] = {
      {"{\"msg_id\":\"1\",\"body\":\"\xFF\xFE\"}", "UTF-8"},
      {"{\"msg_id\":\"1\",\"body\":\"\\udc00\"}", "body"},
      {"not json", "JSON 文本"},
      {"{\"msg_id\":\"1\"} trailing", "JSON 文本"},
      {"{\"msg_id\":\"1\",\"msg_id\":\"2\"}", "JSON 文本"},
      {"[1,2]", "JSON 对象"},
      {"\"text\"", "JSON"},
      {"{\"msg_id\":1}", "msg_id 不是文本"},
      {"{\"msg_id\":\"1\",\"thread_members\":[\"c1001\"]}", "thread_members 不是文本"},
      {"{\"msg_id\":\"1\",\"body\":{\"a\":1}}", "body 不是文本"},
      {"{\"body\":\"x\"}", "msg_id"},
      {"{\"msg_id\":\"\"}", "msg_id"},
      {"{\"msg_id\":\"" + std::string(200, 'x') + "\"}", "msg_id"},
      {std::string(MqttRecord::kMaxPayloadBytes + 1, ' '), "太长"},
  };
  for (const Case& test : cases) {
    InfoMsgStructer record;
    CString error;
    EXPECT_FALSE(MqttRecord::Read(test.payload, record, error)) << test.payload.substr(0, 60);
    EXPECT_NE(error.Find(test.reason), -1) << error.GetString() << " / " << test.payload.substr(0, 60);
  }
  // Unknown keys and null values are no reason to refuse.
  InfoMsgStructer record;
  CString error;
  EXPECT_TRUE(MqttRecord::Read("{\"msg_id\":\"1\",\"extra\":[1],\"title\":null}", record, error)) << error.GetString();
}

TEST(MqttServerAddressTest, AddressesAreReadAndPlainOnesStayOnThisMachine) {
  struct Case {
    const char* url;
    bool valid;
    const char* host;
    int port;
    bool tls;
    bool allowed;
  };
  const Case cases[] = {
      {"mqtt://127.0.0.1:18830", true, "127.0.0.1", 18830, false, true},
      {"mqtt://localhost", true, "localhost", 1883, false, true},
      {" MQTTS://chat.example.com/ ", true, "chat.example.com", 8883, true, true},
      {"mqtts://[::1]:9000", true, "::1", 9000, true, true},
      {"mqtt://chat.example.com:1883", true, "chat.example.com", 1883, false, false},
      {"http://chat.example.com", false, "", 0, false, false},
      {"mqtt://:1883", false, "", 0, false, false},
      {"mqtt://host:0", false, "", 0, false, false},
      {"mqtt://host:99999", false, "", 0, false, false},
      {"mqtt://host:12a", false, "", 0, false, false},
      {"mqtt://user@host", false, "", 0, false, false},
  };
  for (const Case& test : cases) {
    COrbMqttServer server;
    CString error;
    ASSERT_EQ(server.SetAddress(test.url, error), test.valid) << test.url;
    if (!test.valid) {
      EXPECT_FALSE(error.IsEmpty());
      continue;
    }
    EXPECT_STREQ(server.GetHost(), test.host);
    EXPECT_EQ(server.GetPort(), test.port);
    EXPECT_EQ(server.IsTls(), test.tls);
    EXPECT_EQ(server.CheckAddress(error), test.allowed) << test.url;
  }
}

}  // namespace
