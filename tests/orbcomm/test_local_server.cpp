// Users of one process talking through the embedded server: session
// applications, personal messages both ways, group messages, offline
// delivery, error answers, push ids and the simulated peers.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "OrbcommTestSupport.h"

using namespace orbtest;

namespace {

class LocalServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zhang = Connect(server, folder.Root(), "1001", "张三");
    li = Connect(server, folder.Root(), "1002", "李四");
  }

  // Applies for a thread as the module does and takes the answer.
  CString OpenThread(COrbHttp_Protocol_Orb& who, const char* members) {
    CString threadId = who.GetSessionID() + "12345";
    unsigned id = who.Push(kReq505, Application(threadId, members, who.GetMyAlias()));
    std::vector<Received> answers = PopAll(who, kAns505);
    EXPECT_EQ(answers.size(), 1u);
    if (answers.size() == 1) {
      EXPECT_EQ(answers[0].pushId, id);
      EXPECT_EQ(answers[0].Code(), 0) << answers[0].text;
    }
    return threadId;
  }

  CTestFolder folder;
  COrbLocalServer server;
  std::unique_ptr<COrbHttp_Protocol_Orb> zhang;
  std::unique_ptr<COrbHttp_Protocol_Orb> li;
};

TEST_F(LocalServerTest, SessionApplicationIsAnsweredToTheApplicantsPushId) {
  EXPECT_FALSE(zhang->GetSessionID().IsEmpty());
  EXPECT_NE(zhang->GetSessionID(), li->GetSessionID());
  CString threadId = zhang->GetSessionID() + "-42";
  unsigned id = zhang->Push(kReq505, Application(threadId, "c1002", "张三"));
  std::vector<Received> answers = PopAll(*zhang, kAns505);
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].pushId, id);
  EXPECT_EQ(answers[0].Code(), 0);
  EXPECT_EQ(answers[0].Str("thread_id"), threadId);
  // An answer carries no member list, so the client never takes it for a message.
  EXPECT_FALSE(answers[0].Has("thread_members"));
  // The applicant always belongs to the thread; the other member learns of it
  // only with the first message.
  EXPECT_STREQ(server.GetThreadMembers(threadId), "c1001,c1002");
  EXPECT_TRUE(PopAll(*li, kAns505).empty());
  // Applying again for the thread may add members but never drops one.
  zhang->Push(kReq505, Application(threadId, "C1003"));
  EXPECT_EQ(PopAll(*zhang, kAns505).size(), 1u);
  EXPECT_STREQ(server.GetThreadMembers(threadId), "c1001,c1002,C1003");
}

TEST_F(LocalServerTest, PersonalMessagesTravelBothWays) {
  CString threadId = OpenThread(*zhang, "c1002");
  const CString body = "<HTML>你好 & <B>李四</B> 100% \\ \"quoted\"</HTML>";
  unsigned sent = zhang->Push(kReq505, Personal(threadId, "你好", body, "张三"));

  std::vector<Received> got = PopAll(*li, kAns505);
  ASSERT_EQ(got.size(), 1u);
  const Received& message = got[0];
  EXPECT_EQ(message.pushId, 0u);  // unsolicited for the receiver
  EXPECT_EQ(message.Code(), 0);
  EXPECT_EQ(message.Str("body"), body);
  EXPECT_STREQ(message.Str("abstract"), "你好");
  EXPECT_STREQ(message.Str("from"), "张三");
  EXPECT_STREQ(message.Str("from_id"), "c1001");
  EXPECT_STREQ(message.Str("msg_type"), "505");
  EXPECT_STREQ(message.Str("url"), "mht");
  EXPECT_EQ(message.Str("thread_id"), threadId);
  EXPECT_STREQ(message.Str("thread_members"), "c1001,c1002");
  EXPECT_FALSE(message.Str("msg_id").IsEmpty());
  CString stamp = message.Str("publish_time");
  ASSERT_EQ(stamp.GetLength(), 14);
  EXPECT_EQ(stamp.SpanIncluding("0123456789"), stamp);
  EXPECT_STREQ(stamp.Left(2), "20");

  std::vector<Received> confirmations = PopAll(*zhang, kAns505);
  ASSERT_EQ(confirmations.size(), 1u);
  EXPECT_EQ(confirmations[0].pushId, sent);
  EXPECT_EQ(confirmations[0].Code(), 0);
  EXPECT_FALSE(confirmations[0].Has("thread_members"));
  EXPECT_EQ(confirmations[0].Str("msg_id"), message.Str("msg_id"));
  EXPECT_EQ(confirmations[0].Str("thread_id"), threadId);

  // The receiver answers on the thread it learnt from the message; without a
  // display name its member id stands in for one.
  li->Push(kReq505, Personal(threadId, "", "回复"));
  std::vector<Received> back = PopAll(*zhang, kAns505);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_STREQ(back[0].Str("body"), "回复");
  EXPECT_STREQ(back[0].Str("from_id"), "c1002");
  EXPECT_STREQ(back[0].Str("from"), "李四");  // the alias it logged in with
  EXPECT_FALSE(back[0].Has("abstract"));
  EXPECT_EQ(PopAll(*li, kAns505).size(), 1u);  // its confirmation
}

TEST_F(LocalServerTest, GroupMessageReachesEveryCommunityMemberAlsoOffline) {
  auto wang = Connect(server, folder.Root(), "1003", "王五");
  ASSERT_TRUE(server.AddCommunity("12", "读书会", "每周一次", "c1001, c1002,c1003,c1004"));
  unsigned sent = zhang->Push(kReq506, Group("12", "大家好", "<P>大家好</P>", "张三"));

  for (COrbHttp_Protocol_Orb* member : {li.get(), wang.get()}) {
    std::vector<Received> got = PopAll(*member, kAns506);
    ASSERT_EQ(got.size(), 1u) << member->GetUserID().GetString();
    EXPECT_EQ(got[0].pushId, 0u);
    EXPECT_STREQ(got[0].Str("thread_id"), "g12");
    EXPECT_STREQ(got[0].Str("thread_members"), "g12");
    EXPECT_STREQ(got[0].Str("msg_type"), "506");
    EXPECT_STREQ(got[0].Str("title"), "读书会");
    EXPECT_STREQ(got[0].Str("body"), "<P>大家好</P>");
    EXPECT_STREQ(got[0].Str("from_id"), "c1001");
    EXPECT_TRUE(PopAll(*member, kAns505).empty());
  }
  std::vector<Received> confirmation = PopAll(*zhang, kAns506);
  ASSERT_EQ(confirmation.size(), 1u);
  EXPECT_EQ(confirmation[0].pushId, sent);
  EXPECT_FALSE(confirmation[0].Has("thread_members"));

  // c1004 has never logged in: the message waits and arrives with the login.
  EXPECT_FALSE(server.IsOnline("c1004"));
  EXPECT_EQ(server.GetQueuedCount("c1004"), 1);
  auto zhao = Connect(server, folder.Root(), "1004", "赵六");
  std::vector<Received> waiting = PopAll(*zhao, kAns506);
  ASSERT_EQ(waiting.size(), 1u);
  EXPECT_STREQ(waiting[0].Str("abstract"), "大家好");
}

TEST_F(LocalServerTest, ThePrefixOfCommunityThreadKeysIsConfigurable) {
  server.SetGroupMsgHead("grp");
  ASSERT_TRUE(server.AddCommunity("7", "Team", "", "c1001,c1002"));
  zhang->Push(kReq506, Group("7", "", "x"));
  std::vector<Received> got = PopAll(*li, kAns506);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_STREQ(got[0].Str("thread_id"), "grp7");
}

TEST_F(LocalServerTest, EveryRequestItCannotServeGetsAnErrorAndLosesNothingQueued) {
  CString threadId = OpenThread(*zhang, "c1002");
  ASSERT_TRUE(server.AddCommunity("12", "读书会", "", "c1001,c1002"));
  ASSERT_TRUE(server.AddCommunity("13", "别人的群", "", "c1002"));
  // li owns a thread without zhang, whose id zhang will try to take.
  li->Push(kReq505, Application(li->GetSessionID() + "1", "c1003"));
  ASSERT_EQ(PopAll(*li, kAns505).size(), 1u);
  // Something already waits on both sides before the bad requests come.
  zhang->Push(kReq505, Personal(threadId, "", "第一条"));
  ASSERT_EQ(PopAll(*zhang, kAns505).size(), 1u);
  zhang->Push(kReq505, Personal(threadId, "", "第二条"));  // its confirmation stays queued

  CString bigBody(' ', 3 * 1024 * 1024);  // three times longer once encoded
  struct Row {
    const char* label;
    const char* pool;
    CString body;
    int code;
    const char* answerPool;
  };
  const Row rows[] = {
      {"not a form body", kReq505, "hello", ORB_ERR_MALFORMED, kAns505},
      {"empty body", kReq505, "", ORB_ERR_MALFORMED, kAns505},
      {"unknown flag", kReq505, Body().Raw("flag", "x").Raw("thread_id", threadId), ORB_ERR_MALFORMED, kAns505},
      {"pairs out of order", kReq505, "thread_id=" + threadId + "&flag=d&body=%41&body_type=mht", ORB_ERR_MALFORMED,
       kAns505},
      {"body not encoded", kReq505, "flag=d&thread_id=" + threadId + "&body=hello&body_type=mht", ORB_ERR_MALFORMED,
       kAns505},
      {"body not UTF-8", kReq505, "flag=d&thread_id=" + threadId + "&body=%C4%E3&body_type=mht", ORB_ERR_MALFORMED,
       kAns505},
      {"empty message", kReq505, "flag=d&thread_id=" + threadId + "&body=&body_type=mht", ORB_ERR_MALFORMED, kAns505},
      {"application without members", kReq505, Application("T-new", ""), ORB_ERR_MALFORMED, kAns505},
      {"unknown thread", kReq505, Personal("no-such-thread", "", "x"), ORB_ERR_NO_THREAD, kAns505},
      {"not a member of the thread", kReq505, Personal(li->GetSessionID() + "1", "", "x"), ORB_ERR_NOT_MEMBER,
       kAns505},
      {"someone else's thread id", kReq505, Application(li->GetSessionID() + "1", "c1001"), ORB_ERR_THREAD_TAKEN,
       kAns505},
      {"group message on the personal pool", kReq505, Group("12", "", "x"), ORB_ERR_MALFORMED, kAns505},
      {"no such group", kReq506, Group("99", "", "x"), ORB_ERR_NO_GROUP, kAns506},
      {"not a member of the group", kReq506, Group("13", "", "x"), ORB_ERR_NOT_MEMBER, kAns506},
      {"personal message on the group pool", kReq506, Personal(threadId, "", "x"), ORB_ERR_MALFORMED, kAns506},
      {"too large", kReq506, Group("12", "", bigBody), ORB_ERR_TOO_LARGE, kAns506},
      {"unknown pool", "no.such.pool", Personal(threadId, "", "x"), ORB_ERR_UNKNOWN_POOL, kAns5},
      {"group info for no group", "GetGroupInfo", "99", ORB_ERR_NO_GROUP, kAns5},
      {"group info for another's group", "GetGroupInfo", " 13 ", ORB_ERR_NOT_MEMBER, kAns5},
      {"group info without id", "GetGroupInfo", "  ", ORB_ERR_MALFORMED, kAns5},
  };
  int earlierConfirmations = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    unsigned id = zhang->Push(row.pool, row.body);
    std::vector<Received> answers = PopAll(*zhang, row.answerPool);
    if (CString(row.answerPool) == kAns505) {
      // The good confirmation queued before still comes first, once.
      ASSERT_GE(answers.size(), 1u);
      if (answers.front().pushId != id) {
        EXPECT_EQ(answers.front().Code(), 0);
        answers.erase(answers.begin());
        ++earlierConfirmations;
      }
    }
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].pushId, id);
    EXPECT_EQ(answers[0].Code(), row.code) << answers[0].text;
    EXPECT_FALSE(answers[0].ErrorInfo().IsEmpty());
    EXPECT_FALSE(answers[0].Has("thread_members"));
  }
  EXPECT_EQ(earlierConfirmations, 1);
  // Nothing of the bad requests reached li; both good messages wait in order.
  std::vector<Received> liGot = PopAll(*li, kAns505);
  ASSERT_EQ(liGot.size(), 2u);
  EXPECT_STREQ(liGot[0].Str("body"), "第一条");
  EXPECT_STREQ(liGot[1].Str("body"), "第二条");
  EXPECT_TRUE(PopAll(*li, kAns506).empty());
  EXPECT_EQ(server.GetQueuedCount("c1003"), 0);
  // And the thread zhang tried to take still has its own members.
  EXPECT_STREQ(server.GetThreadMembers(li->GetSessionID() + "1"), "c1002,c1003");
}

TEST_F(LocalServerTest, GroupInformationIsAnsweredWithoutAMemberList) {
  ASSERT_TRUE(server.AddCommunity("12", "读书会", "每周一次", "c1001,c1002"));
  unsigned id = zhang->Push("GetGroupInfo", " 12 ");
  std::vector<Received> answers = PopAll(*zhang, kAns5);
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].pushId, id);
  EXPECT_EQ(answers[0].Code(), 0);
  EXPECT_STREQ(answers[0].Str("group_name"), "读书会");
  EXPECT_STREQ(answers[0].Str("group_des"), "每周一次");
  EXPECT_STREQ(answers[0].Str("members"), "c1001,c1002");
  EXPECT_FALSE(answers[0].Has("thread_members"));
}

TEST_F(LocalServerTest, AFullMailboxRefusesTheMessageForEveryone) {
  auto wang = Connect(server, folder.Root(), "1003", "王五");
  CString threadId = OpenThread(*zhang, "c1002,c1003");
  server.SetMailboxLimit(2);
  zhang->Push(kReq505, Personal(threadId, "", "1"));
  zhang->Push(kReq505, Personal(threadId, "", "2"));
  EXPECT_EQ(PopAll(*wang, kAns505).size(), 2u);  // wang reads, li does not
  unsigned third = zhang->Push(kReq505, Personal(threadId, "", "3"));
  std::vector<Received> answers = PopAll(*zhang, kAns505);
  ASSERT_EQ(answers.size(), 3u);
  EXPECT_EQ(answers[2].pushId, third);
  EXPECT_EQ(answers[2].Code(), ORB_ERR_MAILBOX_FULL);
  EXPECT_TRUE(PopAll(*wang, kAns505).empty());  // all or nobody
  EXPECT_EQ(PopAll(*li, kAns505).size(), 2u);
}

size_t WorkingSet() {
  PROCESS_MEMORY_COUNTERS counters{};
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.WorkingSetSize;
}

TEST_F(LocalServerTest, OneMessageToManyOfflineMembersIsKeptOnce) {
  // Two hundred members who never connect: the server keeps one copy of the
  // message for all their mailboxes, not one each.
  CString members = "c1002";
  for (int i = 0; i < 200; ++i) {
    CString id;
    id.Format(",c9%03d", i);
    members += id;
  }
  CString threadId = OpenThread(*zhang, members);
  const CString body(std::string(1u << 20, 'A'));  // sent as it is
  const size_t before = WorkingSet();
  zhang->Push(kReq505, Personal(threadId, "", body));
  std::vector<Received> answers = PopAll(*zhang, kAns505);
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].Code(), 0) << answers[0].text;
  EXPECT_LT(WorkingSet() - before, size_t{40} << 20);
  EXPECT_EQ(server.GetQueuedCount("c9123"), 1);
  auto late = Connect(server, folder.Root(), "9123", "");
  std::vector<Received> got = PopAll(*late, kAns505);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_TRUE(got[0].Str("body") == body);
  EXPECT_EQ(PopAll(*li, kAns505).size(), 1u);
}

TEST_F(LocalServerTest, AMailboxFullOfBytesRefusesNewMessagesAndKeepsTheOldOnes) {
  CString threadId = OpenThread(*zhang, "c1002");
  server.SetMailboxByteLimit(3u << 20);
  const CString body(std::string(1u << 20, 'B'));
  std::vector<unsigned> pushed;
  for (int i = 0; i < 3; ++i) pushed.push_back(zhang->Push(kReq505, Personal(threadId, "", body)));
  std::vector<Received> answers = PopAll(*zhang, kAns505);
  ASSERT_EQ(answers.size(), 3u);
  EXPECT_EQ(answers[0].Code(), 0);
  EXPECT_EQ(answers[1].Code(), 0);
  EXPECT_EQ(answers[2].pushId, pushed[2]);
  EXPECT_EQ(answers[2].Code(), ORB_ERR_MAILBOX_FULL);  // the sender is told
  EXPECT_EQ(server.GetQueuedCount("c1002"), 2);        // nothing older went
  EXPECT_EQ(PopAll(*li, kAns505).size(), 2u);
  zhang->Push(kReq505, Personal(threadId, "", body));  // room again once read
  EXPECT_EQ(PopAll(*zhang, kAns505).at(0).Code(), 0);
  EXPECT_EQ(PopAll(*li, kAns505).size(), 1u);
}

TEST_F(LocalServerTest, SessionsOnSeveralThreadsLoseAndMixNothing) {
  // Four pairs of users, each pair on a thread of its own, talk at once.
  struct Pair {
    std::unique_ptr<COrbHttp_Protocol_Orb> sender, receiver;
    CString threadId;
    int received = 0, confirmed = 0, wrong = 0;
    std::set<std::string> msgIds;
  };
  std::vector<Pair> pairs(4);
  for (int i = 0; i < 4; ++i) {
    pairs[i].sender = Connect(server, folder.Root(), std::to_string(3000 + i).c_str(), "");
    pairs[i].receiver = Connect(server, folder.Root(), std::to_string(4000 + i).c_str(), "");
    pairs[i].threadId = OpenThread(*pairs[i].sender, ("c" + std::to_string(4000 + i)).c_str());
  }
  const int count = 500;
  auto talk = [count](Pair& pair) {
    for (int n = 0; n < count; ++n) {
      unsigned id = pair.sender->Push(kReq505, Personal(pair.threadId, "", CString(std::to_string(n))));
      for (const Received& got : PopAll(*pair.receiver, kAns505)) {
        pair.wrong += got.Str("body") != CString(std::to_string(pair.received)) || got.Str("thread_id") != pair.threadId;
        pair.msgIds.insert(got.Str("msg_id").Str());
        ++pair.received;
      }
      for (const Received& got : PopAll(*pair.sender, kAns505)) {
        pair.wrong += got.pushId != id || got.Code() != 0;
        ++pair.confirmed;
      }
    }
  };
  std::vector<std::thread> threads;
  for (Pair& pair : pairs) threads.emplace_back(talk, std::ref(pair));
  for (std::thread& thread : threads) thread.join();
  std::set<std::string> allIds;
  for (const Pair& pair : pairs) {
    EXPECT_EQ(pair.received, count);
    EXPECT_EQ(pair.confirmed, count);
    EXPECT_EQ(pair.wrong, 0);
    allIds.insert(pair.msgIds.begin(), pair.msgIds.end());
  }
  EXPECT_EQ(allIds.size(), 4u * count);  // message ids stay unique
}

TEST_F(LocalServerTest, PushIdsAreUniqueAndPopReportsEmptyPools) {
  std::set<unsigned> ids;
  for (int i = 0; i < 5000; ++i) {
    unsigned id = zhang->Push("GetGroupInfo", "1");
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, 0xFFFFFFFFu);
    ids.insert(id);
  }
  EXPECT_EQ(ids.size(), 5000u);
  EXPECT_EQ(PopAll(*zhang, kAns5).size(), 5000u);
  unsigned pushId = 77;
  EXPECT_STREQ(zhang->Pop(kAns5, pushId), "");
  EXPECT_EQ(pushId, 0u);
  EXPECT_STREQ(zhang->Pop("never.used", pushId), "");
  EXPECT_STREQ(zhang->Pop("", pushId), "");
}

TEST_F(LocalServerTest, RequestsPushedBeforeTheLinkGoOutWhenItIsMade) {
  COrbHttp_Protocol_Orb wang;
  InfoLoginInfoStruct who;
  who.m_strUserID = "1003";
  who.m_strProfileDir = folder.Root();
  CString error;
  ASSERT_TRUE(wang.Login(who, error)) << error.GetString();
  EXPECT_TRUE(wang.GetSessionID().IsEmpty());
  unsigned id = wang.Push(kReq505, Application("W1", "c1001"));
  wang.Push(kReq505, Personal("W1", "", "离线时写的"));
  EXPECT_EQ(wang.GetUnsentCount(), 2);
  EXPECT_TRUE(PopAll(wang, kAns505).empty());
  ASSERT_TRUE(wang.Link(&server, error));
  EXPECT_EQ(wang.GetUnsentCount(), 0);
  std::vector<Received> answers = PopAll(wang, kAns505);
  ASSERT_EQ(answers.size(), 2u);
  EXPECT_EQ(answers[0].pushId, id);
  std::vector<Received> got = PopAll(*zhang, kAns505);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_STREQ(got[0].Str("body"), "离线时写的");
  EXPECT_STREQ(got[0].Str("from"), "c1003");  // no alias: the member id stands in
}

TEST_F(LocalServerTest, ANewLoginOfTheSameUserTakesTheMailboxOver) {
  CString threadId = OpenThread(*zhang, "c1002");
  li->Push(kReq505, Personal(threadId, "", "给张三"));
  zhang->Push("GetGroupInfo", "1");  // an answer to the old session
  auto again = Connect(server, folder.Root(), "1001", "张三");
  EXPECT_TRUE(zhang->GetSessionID().IsEmpty());
  EXPECT_FALSE(zhang->IsLinked());
  EXPECT_FALSE(again->GetSessionID().IsEmpty());
  unsigned pushId = 0;
  EXPECT_STREQ(zhang->Pop(kAns505, pushId), "");
  // Messages stay for the new session; answers to the old one's push ids do not.
  std::vector<Received> got = PopAll(*again, kAns505);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_STREQ(got[0].Str("body"), "给张三");
  EXPECT_TRUE(PopAll(*again, kAns5).empty());
  // The same session object linking again keeps the answers to its own pushes.
  unsigned id = again->Push("GetGroupInfo", "1");
  again->Unlink();
  CString error;
  ASSERT_TRUE(again->Link(&server, error));
  std::vector<Received> kept = PopAll(*again, kAns5);
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].pushId, id);
}

TEST_F(LocalServerTest, SessionsOutliveTheirServerSafely) {
  auto server2 = std::make_unique<COrbLocalServer>();
  auto wang = Connect(*server2, folder.Root(), "1003", "王五");
  EXPECT_FALSE(wang->GetSessionID().IsEmpty());
  server2.reset();
  EXPECT_TRUE(wang->GetSessionID().IsEmpty());
  unsigned pushId = 1;
  EXPECT_STREQ(wang->Pop(kAns505, pushId), "");
  EXPECT_NE(wang->Push(kReq505, Personal("x", "", "y")), 0u);  // waits for a new link
  EXPECT_EQ(wang->GetUnsentCount(), 1);
}

TEST_F(LocalServerTest, PoolNamesComeFromTheHostXml) {
  COrbLocalServer custom;
  const char xml[] =
      "<?xml version=\"1.0\" encoding=\"GBK\"?><message>"
      "<msgpool msgtype=\"5\" ans=\"系统应答\"/>"
      "<msgpool msgtype=\"505\" req=\"p.req\" ans=\"p.ans\"/>"
      "<msgpool msgtype=\"506\" req=\"g.req\" ans=\"g.ans\"/></message>";
  ASSERT_TRUE(custom.LoadPools(xml));
  EXPECT_STREQ(custom.GetAnswerPool("5"), "系统应答");
  EXPECT_STREQ(custom.GetRequestPool("505"), "p.req");
  EXPECT_STREQ(custom.GetAnswerPool("506"), "g.ans");
  EXPECT_FALSE(custom.LoadPools("<message/>"));
  EXPECT_STREQ(custom.GetRequestPool("505"), "p.req");  // kept

  // The XML the server writes reads back to the same names.
  COrbLocalServer copy;
  ASSERT_TRUE(copy.LoadPools(custom.MakePoolXml()));
  for (const char* code : {"5", "505", "506"}) {
    EXPECT_EQ(copy.GetRequestPool(code), custom.GetRequestPool(code)) << code;
    EXPECT_EQ(copy.GetAnswerPool(code), custom.GetAnswerPool(code)) << code;
  }

  auto a = Connect(custom, folder.Root(), "2001", "A");
  auto b = Connect(custom, folder.Root(), "2002", "B");
  a->Push("p.req", Application("PX", "c2002"));
  a->Push("p.req", Personal("PX", "", "via custom pools"));
  EXPECT_EQ(PopAll(*b, "p.ans").size(), 1u);
  EXPECT_TRUE(PopAll(*b, kAns505).empty());
}

TEST_F(LocalServerTest, EchoPeerAnswersPersonalMessagesOnTheSameThread) {
  ASSERT_TRUE(server.AddEchoPeer("c2001", "回声"));
  EXPECT_FALSE(server.AddEchoPeer("C2001", "again"));  // ids compare without case
  EXPECT_TRUE(server.IsOnline("c2001"));
  CString threadId = OpenThread(*zhang, "c2001");
  zhang->Push(kReq505, Personal(threadId, "喂", "<P>喂</P>", "张三"));
  std::vector<Received> texts = PopAll(*zhang, kAns505);
  ASSERT_EQ(texts.size(), 2u);  // the confirmation, then the echo
  EXPECT_NE(texts[0].pushId, 0u);
  const Received& echo = texts[1];
  EXPECT_EQ(echo.pushId, 0u);
  EXPECT_STREQ(echo.Str("from_id"), "c2001");
  EXPECT_STREQ(echo.Str("from"), "回声");
  EXPECT_STREQ(echo.Str("body"), "<P>喂</P>");
  EXPECT_STREQ(echo.Str("thread_members"), "c1001,c2001");

  // A peer's id cannot be used to log in.
  COrbHttp_Protocol_Orb impostor;
  InfoLoginInfoStruct who;
  who.m_strUserID = "2001";
  who.m_strProfileDir = folder.Root();
  CString error;
  ASSERT_TRUE(impostor.Login(who, error));
  EXPECT_FALSE(impostor.Link(&server, error));
  EXPECT_FALSE(error.IsEmpty());
}

TEST_F(LocalServerTest, GroupPeerAnswersInTheGroupAndPeersNeverAnswerPeers) {
  ASSERT_TRUE(server.AddGroupPeer("c3001", "群助手"));
  ASSERT_TRUE(server.AddEchoPeer("c2001", "回声"));
  ASSERT_TRUE(server.AddCommunity("12", "读书会", "", "c1001,c1002,c3001,c2001"));
  zhang->Push(kReq506, Group("12", "<今天>", "<P>今天</P>", "张三"));
  std::vector<Received> liGot = PopAll(*li, kAns506);
  ASSERT_EQ(liGot.size(), 2u);  // zhang's message and the peer's answer, once
  EXPECT_STREQ(liGot[1].Str("from_id"), "c3001");
  EXPECT_STREQ(liGot[1].Str("thread_id"), "g12");
  EXPECT_NE(liGot[1].Str("abstract").Find("<今天>"), -1);
  EXPECT_EQ(liGot[1].Str("body").Find("<今天>"), -1);  // escaped inside the HTML body
  std::vector<Received> zhangGot = PopAll(*zhang, kAns506);
  ASSERT_EQ(zhangGot.size(), 2u);  // confirmation and the peer's answer
  EXPECT_STREQ(zhangGot[1].Str("from"), "群助手");
}

}  // namespace
