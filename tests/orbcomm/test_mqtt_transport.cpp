// The MQTT transport against a real Mosquitto broker: users chatting both
// ways, offline delivery, messages kept while the broker is down (also
// across a restart of the host), the broker restarted with messages in
// flight, repeated deliveries handed on once, senders that cannot be
// forged, bad payloads, wrong passwords and an unreachable broker.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "CodePage.h"
#include "MqttTestBroker.h"

using namespace orbtest;

namespace {

const int kWaitMs = 10000;

// Payloads go to the broker in UTF-8; the literals here are code page 936.
std::string U(const std::string& ansi) { return CodePage::AnsiToUtf8(ansi.c_str()); }

bool AnyContains(const std::vector<CString>& texts, const char* part) {
  return std::any_of(texts.begin(), texts.end(), [part](const CString& text) { return text.Find(part) >= 0; });
}

class MqttTransportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    if (!MqttTestBroker::Available(why)) GTEST_SKIP() << why;
    ASSERT_TRUE(MqttTestBroker::CleanSessions());
    CString error;
    CString address;
    address.Format("mqtt://127.0.0.1:%d", MqttTestBroker::Port());
    ASSERT_TRUE(server.SetAddress(address, error)) << error.GetString();
    server.SetRetryDelays(100, 800);
  }
  void TearDown() override {
    // A test that stopped the broker leaves it running for the next.
    if (m_bStopped) MqttTestBroker::Restart();
  }

  std::unique_ptr<COrbHttp_Protocol_Orb> User(const char* id, const char* alias, const char* password = nullptr) {
    auto session = ConnectMqtt(server, folder.Root(), id, alias, password);
    EXPECT_TRUE(WaitConnected(*session, kWaitMs)) << id;
    return session;
  }

  // Applies for a thread as the module does; the answer comes at once.
  CString OpenThread(COrbHttp_Protocol_Orb& who, const char* members) {
    const CString threadId = who.GetSessionID() + "4242";
    const unsigned id = who.Push(kReq505, Application(threadId, members, who.GetMyAlias()));
    std::vector<Received> answers = PopWithin(who, kAns505, 1, kWaitMs);
    EXPECT_EQ(answers.size(), 1u);
    if (!answers.empty()) {
      EXPECT_EQ(answers[0].pushId, id);
      EXPECT_EQ(answers[0].Code(), 0) << answers[0].text;
      EXPECT_FALSE(answers[0].Has("thread_members"));
    }
    return threadId;
  }

  void StopBroker() {
    ASSERT_TRUE(MqttTestBroker::Stop());
    m_bStopped = true;
  }
  void RestartBroker() {
    ASSERT_TRUE(MqttTestBroker::Restart());
    m_bStopped = false;
  }

  CTestFolder folder;
  COrbMqttServer server;
  bool m_bStopped = false;
};

TEST_F(MqttTransportTest, TwoUsersChatBothWaysWithConfirmationsAfterTheBrokerHasTheMessage) {
  auto zhang = User("1001", "张三");
  auto li = User("1002", "李四");
  const CString threadId = OpenThread(*zhang, "c1002");
  const unsigned sent = zhang->Push(kReq505, Personal(threadId, "你好", "<P>你好，李四！100% \\ \"引号\"</P>", "张三"));

  std::vector<Received> got = PopWithin(*li, kAns505, 1, kWaitMs);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].pushId, 0u);
  EXPECT_EQ(got[0].Code(), 0);
  EXPECT_STREQ(got[0].Str("body"), "<P>你好，李四！100% \\ \"引号\"</P>");
  EXPECT_STREQ(got[0].Str("abstract"), "你好");
  EXPECT_STREQ(got[0].Str("from"), "张三");
  EXPECT_STREQ(got[0].Str("from_id"), "c1001");
  EXPECT_STREQ(got[0].Str("msg_type"), "505");
  EXPECT_EQ(got[0].Str("thread_id"), threadId);
  EXPECT_STREQ(got[0].Str("thread_members"), "c1001,c1002");
  EXPECT_STREQ(got[0].Str("url"), "mht");
  EXPECT_EQ(got[0].Str("publish_time").GetLength(), 14);

  std::vector<Received> confirmed = PopWithin(*zhang, kAns505, 1, kWaitMs);
  ASSERT_EQ(confirmed.size(), 1u);
  EXPECT_EQ(confirmed[0].pushId, sent);
  EXPECT_EQ(confirmed[0].Code(), 0);
  EXPECT_EQ(confirmed[0].Str("msg_id"), got[0].Str("msg_id"));
  EXPECT_FALSE(confirmed[0].Has("thread_members"));
  EXPECT_EQ(zhang->GetUnsentCount(), 0);

  // 李四 answers in the thread he learnt of from the message.
  li->Push(kReq505, Personal(threadId, "收到", "收到，谢谢", "李四"));
  std::vector<Received> answer = PopWithin(*zhang, kAns505, 1, kWaitMs);
  ASSERT_EQ(answer.size(), 1u);
  EXPECT_STREQ(answer[0].Str("body"), "收到，谢谢");
  EXPECT_STREQ(answer[0].Str("from_id"), "c1002");
  EXPECT_EQ(answer[0].Str("thread_id"), threadId);
}

TEST_F(MqttTransportTest, AnEncryptedConnectionTrustsOnlyTheBrokersAuthority) {
  const int port = MqttTestBroker::TlsPort();
  ASSERT_GT(port, 0) << "the test broker has no TLS listener (openssl could not make its certificates)";
  CString address, error;
  address.Format("mqtts://localhost:%d", port);
  COrbMqttServer tls;
  ASSERT_TRUE(tls.SetAddress(address, error));
  tls.SetCAFile(MqttTestBroker::File("tls/ca.crt"));
  auto zhang = ConnectMqtt(tls, folder.Root(), "1001", "张三");
  auto li = ConnectMqtt(tls, folder.Root(), "1002", "李四");
  ASSERT_TRUE(WaitConnected(*zhang, kWaitMs));
  ASSERT_TRUE(WaitConnected(*li, kWaitMs));
  const CString threadId = OpenThread(*zhang, "c1002");
  zhang->Push(kReq505, Personal(threadId, "加密", "经过 TLS 的消息"));
  std::vector<Received> got = PopWithin(*li, kAns505, 1, kWaitMs);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_STREQ(got[0].Str("body"), "经过 TLS 的消息");

  // A broker whose certificate the client's authority did not sign is not
  // talked to, and the user is told.
  COrbMqttServer untrusted;
  ASSERT_TRUE(untrusted.SetAddress(address, error));
  untrusted.SetCAFile(MqttTestBroker::File("tls/other-ca.crt"));
  auto zhao = ConnectMqtt(untrusted, folder.Root(), "1004", "赵六");
  std::vector<CString> notices;
  for (int waited = 0; waited < kWaitMs && notices.empty(); waited += 20) {
    notices = Notices(*zhao);
    Sleep(20);
  }
  EXPECT_TRUE(AnyContains(notices, "无法连接服务器")) << (notices.empty() ? "" : notices[0].GetString());
  EXPECT_FALSE(zhao->IsServerConnected());
}

TEST_F(MqttTransportTest, RequestsTheBrokerHasNoPartInAreAnsweredAtOnce) {
  auto zhang = User("1001", "张三");
  const unsigned unknown = zhang->Push(kReq505, Personal("no-such-thread", "x", "x"));
  const unsigned info = zhang->Push("GetGroupInfo", " 12 ");
  const unsigned missing = zhang->Push("GetGroupInfo", "99");
  const unsigned badPool = zhang->Push("orb.nothing.req", "x");
  std::vector<Received> answers505 = PopWithin(*zhang, kAns505, 1, kWaitMs);
  ASSERT_EQ(answers505.size(), 1u);
  EXPECT_EQ(answers505[0].pushId, unknown);
  EXPECT_EQ(answers505[0].Code(), ORB_ERR_NO_THREAD);
  std::vector<Received> answers5 = PopWithin(*zhang, kAns5, 3, kWaitMs);
  ASSERT_EQ(answers5.size(), 3u);
  EXPECT_EQ(answers5[0].pushId, info);
  EXPECT_STREQ(answers5[0].Str("group_name"), "读书会");
  EXPECT_STREQ(answers5[0].Str("members"), "c1001,c1002,c1003");
  EXPECT_FALSE(answers5[0].Has("thread_members"));
  EXPECT_EQ(answers5[1].pushId, missing);
  EXPECT_EQ(answers5[1].Code(), ORB_ERR_NO_GROUP);
  EXPECT_EQ(answers5[2].pushId, badPool);
  EXPECT_EQ(answers5[2].Code(), ORB_ERR_UNKNOWN_POOL);
}

TEST_F(MqttTransportTest, CommunityMessagesReachMembersAndTheBrokerRefusesOutsiders) {
  auto zhang = User("1001", "张三");
  auto li = User("1002", "李四");
  // 孙七's own database (wrongly) lists him as a member; the broker's rules
  // do not, so his message is refused there and nobody receives it.
  auto sun = ConnectMqtt(server, folder.Root(), "1005", "孙七", nullptr, "c1001,c1002,c1005");
  ASSERT_TRUE(WaitConnected(*sun, kWaitMs));
  const unsigned refused = sun->Push(kReq506, Group("12", "冒充", "冒充成员", "孙七"));
  std::vector<Received> refusal = PopWithin(*sun, kAns506, 1, kWaitMs);
  ASSERT_EQ(refusal.size(), 1u);
  EXPECT_EQ(refusal[0].pushId, refused);
  EXPECT_EQ(refusal[0].Code(), ORB_ERR_NOT_MEMBER) << refusal[0].text;

  const unsigned sent = zhang->Push(kReq506, Group("12", "大家好", "<P>大家好</P>", "张三"));
  std::vector<Received> got = PopWithin(*li, kAns506, 1, kWaitMs);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_STREQ(got[0].Str("thread_id"), "g12");
  EXPECT_STREQ(got[0].Str("thread_members"), "g12");
  EXPECT_STREQ(got[0].Str("title"), "读书会");
  EXPECT_STREQ(got[0].Str("from_id"), "c1001");
  EXPECT_STREQ(got[0].Str("msg_type"), "506");
  std::vector<Received> confirmed = PopWithin(*zhang, kAns506, 1, kWaitMs);
  ASSERT_EQ(confirmed.size(), 1u);
  EXPECT_EQ(confirmed[0].pushId, sent);
  EXPECT_EQ(confirmed[0].Code(), 0);
  // Neither the sender nor anyone else got the refused message.
  EXPECT_TRUE(PopAll(*zhang, kAns506).empty());
  EXPECT_TRUE(PopAll(*li, kAns506).empty());
}

TEST_F(MqttTransportTest, MessagesForAnOfflineUserWaitAtTheBroker) {
  {
    auto li = User("1002", "李四");  // his session (and inbox) now exists at the broker
  }
  auto zhang = User("1001", "张三");
  const CString threadId = OpenThread(*zhang, "c1002");
  zhang->Push(kReq505, Personal(threadId, "一", "第一条"));
  zhang->Push(kReq505, Personal(threadId, "二", "第二条"));
  ASSERT_EQ(PopWithin(*zhang, kAns505, 2, kWaitMs).size(), 2u);  // the broker has both

  auto li = User("1002", "李四");
  std::vector<Received> got = PopWithin(*li, kAns505, 2, kWaitMs);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_STREQ(got[0].Str("body"), "第一条");
  EXPECT_STREQ(got[1].Str("body"), "第二条");
  Sleep(300);
  EXPECT_TRUE(PopAll(*li, kAns505).empty());
}

TEST_F(MqttTransportTest, MessagesPushedWhileTheBrokerIsDownSurviveARestartOfTheHost) {
  {
    auto li = User("1002", "李四");
  }
  CString threadId;
  {
    auto zhang = User("1001", "张三");
    threadId = OpenThread(*zhang, "c1002");
    StopBroker();
    const DWORD before = GetTickCount();
    const unsigned id = zhang->Push(kReq505, Personal(threadId, "离线", "服务器停了时发的"));
    EXPECT_NE(id, 0u);
    EXPECT_LT(GetTickCount() - before, 1000u);  // Push never waits for the network
    EXPECT_TRUE(PopWithin(*zhang, kAns505, 1, 500).empty());  // not confirmed: the broker has nothing
    EXPECT_EQ(zhang->GetUnsentCount(), 1);
    for (int waited = 0; waited < kWaitMs && zhang->IsServerConnected(); waited += 10) Sleep(10);
    EXPECT_TRUE(AnyContains(Notices(*zhang), "消息会保存下来"));
  }  // the host ends with the message unsent
  RestartBroker();
  auto zhang = User("1001", "张三");
  auto li = User("1002", "李四");
  std::vector<Received> got = PopWithin(*li, kAns505, 1, kWaitMs);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_STREQ(got[0].Str("body"), "服务器停了时发的");
  for (int waited = 0; waited < kWaitMs && zhang->GetUnsentCount() > 0; waited += 10) Sleep(10);
  EXPECT_EQ(zhang->GetUnsentCount(), 0);
  // The new run never confirms a push id of the old one.
  EXPECT_TRUE(PopAll(*zhang, kAns505).empty());
  Sleep(300);
  EXPECT_TRUE(PopAll(*li, kAns505).empty());
}

TEST_F(MqttTransportTest, BrokerRestartedWithMessagesInFlightLosesNothingAndRepeatsNothing) {
  auto zhang = User("1001", "张三");
  auto li = User("1002", "李四");
  const CString threadId = OpenThread(*zhang, "c1002");
  std::set<unsigned> pushed;
  for (int i = 0; i < 40; ++i) {
    CString text;
    text.Format("消息 %d", i);
    pushed.insert(zhang->Push(kReq505, Personal(threadId, text, text)));
    if (i == 19) StopBroker();
  }
  Sleep(300);
  RestartBroker();
  std::vector<Received> got = PopWithin(*li, kAns505, 40, 3 * kWaitMs);
  std::set<CString> bodies, ids;
  for (const Received& message : got) {
    bodies.insert(message.Str("body"));
    ids.insert(message.Str("msg_id"));
  }
  EXPECT_EQ(got.size(), 40u);
  EXPECT_EQ(bodies.size(), 40u);
  EXPECT_EQ(ids.size(), 40u);
  std::set<unsigned> confirmed;
  for (const Received& answer : PopWithin(*zhang, kAns505, 40, kWaitMs)) {
    EXPECT_EQ(answer.Code(), 0) << answer.text;
    confirmed.insert(answer.pushId);
  }
  EXPECT_EQ(confirmed, pushed);
  Sleep(300);
  EXPECT_TRUE(PopAll(*li, kAns505).empty());
}

TEST_F(MqttTransportTest, AMessageDeliveredAgainIsHandedOnOnceAlsoAfterARestart) {
  const std::string payload =
      U(R"({"msg_id":"w-1","thread_id":"T-w","thread_members":"c1003,c1001","from":"王五","body":"只应出现一次"})");
  std::string output;
  {
    auto zhang = User("1001", "张三");
    ASSERT_TRUE(MqttTestBroker::Publish("c1003", "orbchat/u/c1001/from/c1003", payload, output)) << output;
    ASSERT_TRUE(MqttTestBroker::Publish("c1003", "orbchat/u/c1001/from/c1003", payload, output)) << output;
    std::vector<Received> got = PopWithin(*zhang, kAns505, 2, 2000);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_STREQ(got[0].Str("body"), "只应出现一次");
  }
  auto zhang = User("1001", "张三");
  ASSERT_TRUE(MqttTestBroker::Publish("c1003", "orbchat/u/c1001/from/c1003", payload, output)) << output;
  EXPECT_TRUE(PopWithin(*zhang, kAns505, 1, 1500).empty());
}

TEST_F(MqttTransportTest, BadPayloadsAreDroppedWithANoticeAndTheNextMessageStillArrives) {
  auto zhang = User("1001", "张三");
  const char* const topic = "orbchat/u/c1001/from/c1003";
  const std::string bad[] = {
      "{\"msg_id\":\"b1\",\"body\":\"\xC3\x28\"}",                             // not UTF-8
      "this is not JSON",                                                       // not JSON
      "[\"msg_id\",\"b2\"]",                                                    // not an object
      R"({"msg_id":"b3","thread_id":"T","thread_members":"c1003,c1001","body":42})",  // wrong type
      R"({"thread_id":"T","thread_members":"c1003,c1001","body":"x"})",        // no message id
      R"({"msg_id":"b4","thread_id":"T","thread_members":"c1003,c1002","body":"x"})",  // not for this user's thread
  };
  std::string output;
  for (const std::string& payload : bad) ASSERT_TRUE(MqttTestBroker::Publish("c1003", topic, payload, output)) << output;
  // Larger than the broker allows: refused there.
  ASSERT_TRUE(MqttTestBroker::Publish("c1003", topic, "{\"msg_id\":\"big\",\"body\":\"" + std::string(1200000, 'x') + "\"}", output));
  EXPECT_NE(output.find("failed"), std::string::npos) << output;
  ASSERT_TRUE(MqttTestBroker::Publish(
      "c1003", topic, U(R"({"msg_id":"ok","thread_id":"T","thread_members":"c1003,c1001","body":"好的"})"), output));
  std::vector<Received> got = PopWithin(*zhang, kAns505, 1, kWaitMs);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_STREQ(got[0].Str("body"), "好的");
  const std::vector<CString> notices = Notices(*zhang);
  EXPECT_EQ(notices.size(), 6u);
  EXPECT_TRUE(AnyContains(notices, "UTF-8"));
  EXPECT_TRUE(AnyContains(notices, "不是 JSON 文本"));
  EXPECT_TRUE(AnyContains(notices, "不是 JSON 对象"));
  EXPECT_TRUE(AnyContains(notices, "body 不是文本"));
  EXPECT_TRUE(AnyContains(notices, "msg_id"));
  EXPECT_TRUE(AnyContains(notices, "成员列表"));

  // The user's own message over the broker's limit is refused, and said so.
  const CString threadId = OpenThread(*zhang, "c1002");
  const unsigned big = zhang->Push(kReq505, Personal(threadId, "大", CString(std::string(1100000, 'A'))));
  std::vector<Received> refusal = PopWithin(*zhang, kAns505, 1, kWaitMs);
  ASSERT_EQ(refusal.size(), 1u);
  EXPECT_EQ(refusal[0].pushId, big);
  EXPECT_EQ(refusal[0].Code(), ORB_ERR_TOO_LARGE);
  EXPECT_EQ(zhang->GetUnsentCount(), 0);
}

TEST_F(MqttTransportTest, ASenderNamedInThePayloadIsNotBelieved) {
  auto li = User("1002", "李四");
  std::string output;
  // 王五 claims to be 张三 in the payload; the topic names him.
  ASSERT_TRUE(MqttTestBroker::Publish(
      "c1003", "orbchat/u/c1002/from/c1003",
      U(R"({"msg_id":"f1","from_id":"c1001","from":"张三","thread_id":"T-f","thread_members":"c1003,c1002","body":"我是张三"})"),
      output));
  std::vector<Received> got = PopWithin(*li, kAns505, 1, kWaitMs);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_STREQ(got[0].Str("from_id"), "c1003");
  EXPECT_STREQ(got[0].Str("from"), "c1003");  // the module shows the name from its own directory
  EXPECT_TRUE(AnyContains(Notices(*li), "自称来自 c1001"));
  // Nor may he speak in a thread he is not a member of.
  auto zhang = User("1001", "张三");
  const CString threadId = OpenThread(*zhang, "c1002");
  zhang->Push(kReq505, Personal(threadId, "a", "a"));
  ASSERT_EQ(PopWithin(*li, kAns505, 1, kWaitMs).size(), 1u);
  const std::string hijack = "{\"msg_id\":\"f2\",\"thread_id\":\"" + threadId.Str() +
                             "\",\"thread_members\":\"c1001,c1002,c1003\",\"body\":\"插话\"}";
  ASSERT_TRUE(MqttTestBroker::Publish("c1003", "orbchat/u/c1002/from/c1003", U(hijack), output));
  EXPECT_TRUE(PopWithin(*li, kAns505, 1, 1500).empty());
  EXPECT_TRUE(AnyContains(Notices(*li), "别人的会话"));
}

TEST_F(MqttTransportTest, AWrongPasswordOrAnUnreachableBrokerIsReportedAndNothingIsLost) {
  auto wrong = ConnectMqtt(server, folder.Root(), "1001", "张三", "wrong password");
  const CString threadId = OpenThread(*wrong, "c1002");
  const unsigned id = wrong->Push(kReq505, Personal(threadId, "x", "等密码改好再发"));
  EXPECT_NE(id, 0u);
  std::vector<CString> notices;
  for (int waited = 0; waited < kWaitMs && notices.empty(); waited += 20) {
    notices = Notices(*wrong);
    Sleep(20);
  }
  EXPECT_TRUE(AnyContains(notices, "服务器拒绝登录：用户名或密码错误")) << (notices.empty() ? "" : notices[0].GetString());
  EXPECT_FALSE(wrong->IsServerConnected());
  EXPECT_EQ(wrong->GetUnsentCount(), 1);
  wrong.reset();

  COrbMqttServer nowhere;
  CString error;
  ASSERT_TRUE(nowhere.SetAddress("mqtt://127.0.0.1:1", error));
  auto lonely = ConnectMqtt(nowhere, folder.Root(), "1004", "赵六");
  notices.clear();
  for (int waited = 0; waited < kWaitMs && notices.empty(); waited += 20) {
    notices = Notices(*lonely);
    Sleep(20);
  }
  EXPECT_TRUE(AnyContains(notices, "无法连接服务器")) << (notices.empty() ? "" : notices[0].GetString());

  // With the right password the kept message goes out.
  auto li = User("1002", "李四");
  auto zhang = User("1001", "张三");
  std::vector<Received> got = PopWithin(*li, kAns505, 1, kWaitMs);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_STREQ(got[0].Str("body"), "等密码改好再发");
}

}  // namespace
