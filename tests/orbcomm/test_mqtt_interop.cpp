// An OrbChat user and a client nobody here wrote (Debian's mosquitto_pub and
// mosquitto_sub) chat in Chinese through the broker, and the broker's rules
// refuse the independent client when it writes in somebody else's name.
#include <windows.h>

#include <gtest/gtest.h>
#include <json/json.h>

#include "CodePage.h"
#include "MqttTestBroker.h"

using namespace orbtest;

namespace {

// The UTF-8 form of a code page 936 literal.
std::string U(const char* ansi) { return CodePage::AnsiToUtf8(ansi); }

TEST(MqttInterop, AnIndependentClientAndAnOrbChatUserChatInChinese) {
  std::string why;
  if (!MqttTestBroker::Available(why)) GTEST_SKIP() << why;
  ASSERT_TRUE(MqttTestBroker::CleanSessions());
  CTestFolder folder;
  COrbMqttServer server;
  CString error, address;
  address.Format("mqtt://127.0.0.1:%d", MqttTestBroker::Port());
  ASSERT_TRUE(server.SetAddress(address, error));
  // 王五 (c1003) uses mosquitto_sub: his session reads his inbox from now on.
  std::vector<std::string> lines;
  ASSERT_TRUE(MqttTestBroker::Subscribe("c1003", "orbchat/u/c1003/from/+", 0, lines));

  auto zhang = ConnectMqtt(server, folder.Root(), "1001", "张三");
  ASSERT_TRUE(WaitConnected(*zhang, 10000));
  const CString threadId = zhang->GetSessionID() + "77";
  zhang->Push(kReq505, Application(threadId, "c1003", "张三"));
  ASSERT_EQ(PopWithin(*zhang, kAns505, 1, 5000).size(), 1u);
  const unsigned sent = zhang->Push(kReq505, Personal(threadId, "你好，王五", "<P>你好，王五！周末一起吃饭吗？</P>", "张三"));
  ASSERT_EQ(PopWithin(*zhang, kAns505, 1, 10000).at(0).pushId, sent);

  ASSERT_TRUE(MqttTestBroker::Subscribe("c1003", "orbchat/u/c1003/from/+", 1, lines));
  ASSERT_EQ(lines.size(), 1u);
  const std::string topic = "orbchat/u/c1003/from/c1001 ";
  ASSERT_EQ(lines[0].compare(0, topic.size(), topic), 0) << lines[0];
  Json::Value payload;
  ASSERT_TRUE(Json::Reader().parse(lines[0].substr(topic.size()), payload)) << lines[0];
  EXPECT_EQ(payload["body"].asString(), U("<P>你好，王五！周末一起吃饭吗？</P>"));
  EXPECT_EQ(payload["abstract"].asString(), U("你好，王五"));
  EXPECT_EQ(payload["from"].asString(), U("张三"));
  EXPECT_EQ(payload["from_id"].asString(), "c1001");
  EXPECT_EQ(payload["thread_id"].asString(), threadId.Str());
  EXPECT_EQ(payload["thread_members"].asString(), "c1001,c1003");
  EXPECT_FALSE(payload["msg_id"].asString().empty());

  // 王五 answers with mosquitto_pub, in his own name.
  Json::Value reply;
  reply["msg_id"] = "wangwu-1";
  reply["thread_id"] = threadId.Str();
  reply["thread_members"] = "c1001,c1003";
  reply["from"] = U("王五");
  reply["abstract"] = U("好啊");
  reply["body"] = U("好啊！周六中午见。");
  std::string output;
  ASSERT_TRUE(MqttTestBroker::Publish("c1003", "orbchat/u/c1001/from/c1003", Json::FastWriter().write(reply), output));
  EXPECT_EQ(output.rfind("0", 0), 0u) << output;
  std::vector<Received> got = PopWithin(*zhang, kAns505, 1, 10000);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_STREQ(got[0].Str("body"), "好啊！周六中午见。");
  EXPECT_STREQ(got[0].Str("from"), "王五");
  EXPECT_STREQ(got[0].Str("from_id"), "c1003");
  EXPECT_EQ(got[0].Str("thread_id"), threadId);

  // In 李四's name: the broker refuses it, and 张三 never sees it.
  reply["msg_id"] = "forged-1";
  reply["body"] = U("我是李四");
  ASSERT_TRUE(MqttTestBroker::Publish("c1003", "orbchat/u/c1001/from/c1002", Json::FastWriter().write(reply), output));
  EXPECT_NE(output.find("Not authorized"), std::string::npos) << output;
  // Even with 李四's id as its client id the connection is still 王五's.
  EXPECT_TRUE(PopWithin(*zhang, kAns505, 1, 1500).empty());
  EXPECT_TRUE(Notices(*zhang).empty());
}

}  // namespace
