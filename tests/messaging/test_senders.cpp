// The personal and group senders: every result, state and notice, with a
// session object that records what is pushed.
#include <gtest/gtest.h>

#include <memory>

#include "CFakeSession.h"
#include "HostFiles.h"
#include "Seams.h"
#include "messaging/COrbChat_SendGroupMsg.h"
#include "messaging/COrbChat_SendPersonalMsg.h"
#include "messaging/SenderResults.h"

namespace {

// Exposes the senders' internal request step.
class CPersonalSender : public COrbChat_SendPersonalMsg {
 public:
  using COrbChat_SendPersonalMsg::COrbChat_SendPersonalMsg;
  using COrbChat_SendPersonalMsg::SendRequest;
};

class CTickSeam {
 public:
  explicit CTickSeam(DWORD tick) {
    Seams::SetTickCount([tick] { return tick; });
  }
  ~CTickSeam() { Seams::SetTickCount(nullptr); }
};

class PersonalSender : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_host.WritePoolXml()); }
  std::unique_ptr<CPersonalSender> Make() { return std::make_unique<CPersonalSender>(&m_session); }

  CHostFiles m_host;
  CFakeSession m_session;
  CTickSeam m_tick{1234};
};

TEST_F(PersonalSender, StartsEmptyWithItsPool) {
  auto sender = Make();
  EXPECT_STREQ(sender->m_strType, "505");
  EXPECT_STREQ(sender->m_strReqPool, "orb.chat.req");
  EXPECT_EQ(sender->m_nState, COrbChat_SendPersonalMsg::kStateNone);
  EXPECT_EQ(sender->m_nApplyPushId, 0u);
  EXPECT_STREQ(sender->GetThreadId(), "");
  EXPECT_TRUE(sender->m_arrPushIds.empty());
}

TEST_F(PersonalSender, ApplicationPushesTheThreadAndMembers) {
  m_session.m_strAlias = "张三";
  auto sender = Make();
  CString notice = "old";
  EXPECT_EQ(sender->ApplySession("c1001,c1002", notice), SenderResult::kPushed);
  EXPECT_STREQ(notice, "");
  EXPECT_STREQ(sender->GetThreadId(), "S1234");
  EXPECT_STREQ(sender->GetMembers(), "c1001,c1002");
  EXPECT_EQ(sender->GetState(), COrbChat_SendPersonalMsg::kStateEstablished);
  ASSERT_EQ(m_session.m_arrPushed.size(), 1u);
  EXPECT_STREQ(m_session.m_arrPushed[0].pool, "orb.chat.req");
  EXPECT_STREQ(m_session.m_arrPushed[0].body, "flag=i&thread_id=S1234&thread_members=c1001,c1002&from=%E5%BC%A0%E4%B8%89");
  ASSERT_EQ(sender->m_arrPushIds.size(), 1u);
  EXPECT_EQ(sender->GetApplyPushId(), sender->m_arrPushIds.back());
  EXPECT_TRUE(sender->OwnsPushId(41));
  EXPECT_FALSE(sender->OwnsPushId(0));
}

TEST_F(PersonalSender, ThreadIdUsesTheSignedTickCount) {
  const struct {
    DWORD tick;
    const char* expected;
  } rows[] = {{0, "S0"}, {2147483647u, "S2147483647"}, {2147483648u, "S-2147483648"}, {4294967295u, "S-1"}};
  for (const auto& row : rows) {
    CTickSeam tick(row.tick);
    auto sender = Make();
    CString notice;
    sender->ApplySession("c1", notice);
    EXPECT_STREQ(sender->GetThreadId(), row.expected) << row.tick;
  }
}

TEST_F(PersonalSender, ApplicationsThatDoNothing) {
  auto sender = Make();
  CString notice = "keep";
  EXPECT_EQ(sender->ApplySession("", notice), SenderResult::kNothingDone);
  EXPECT_EQ(sender->GetState(), COrbChat_SendPersonalMsg::kStateNone);
  EXPECT_EQ(sender->ApplySession("c1", notice), SenderResult::kPushed);
  // A second application in a row is not made.
  notice = "keep";
  EXPECT_EQ(sender->ApplySession("c2", notice), SenderResult::kNothingDone);
  EXPECT_STREQ(notice, "keep");
  EXPECT_STREQ(sender->GetMembers(), "c1");
  EXPECT_EQ(m_session.m_arrPushed.size(), 1u);
}

TEST_F(PersonalSender, ApplicationWithoutServerLink) {
  m_session.m_strSessionId = "";
  auto sender = Make();
  sender->SetThreadId("T-old");
  CString notice;
  EXPECT_EQ(sender->ApplySession("c1", notice), SenderResult::kNoSessionId);
  EXPECT_STREQ(notice, "初始化失败! 还没有建立系统链接");
  EXPECT_EQ(sender->GetState(), COrbChat_SendPersonalMsg::kStateNone);
  EXPECT_STREQ(sender->GetThreadId(), "T-old");
  EXPECT_TRUE(m_session.m_arrPushed.empty());
}

TEST_F(PersonalSender, WithoutSessionObject) {
  COrbChat_SendPersonalMsg sender(nullptr);
  CString notice = "keep";
  EXPECT_EQ(sender.ApplySession("c1", notice), SenderResult::kNoProtocol);
  sender.SetThreadId("T");
  sender.MarkSessionEstablished();
  EXPECT_EQ(sender.Send("a", "b", "mht", notice), SenderResult::kNoProtocol);
  EXPECT_STREQ(notice, "keep");
  CPersonalSender internal(nullptr);
  EXPECT_EQ(internal.SendRequest('d', "a", "b", "mht", notice), SenderResult::kRequestNoProtocol);
}

TEST_F(PersonalSender, SendNeedsThreadAndEstablishedSession) {
  auto sender = Make();
  CString notice = "keep";
  EXPECT_EQ(sender->Send("a", "b", "mht", notice), SenderResult::kNothingDone);
  // A thread id given by the window is not enough until the session is marked.
  sender->SetThreadId("T9");
  EXPECT_EQ(sender->Send("a", "b", "mht", notice), SenderResult::kNothingDone);
  EXPECT_EQ(sender->GetState(), COrbChat_SendPersonalMsg::kStateNone);
  EXPECT_STREQ(notice, "keep");
  EXPECT_TRUE(m_session.m_arrPushed.empty());
  sender->MarkSessionEstablished();
  EXPECT_EQ(sender->Send("", "abc", "mht", notice), SenderResult::kSent);
  EXPECT_STREQ(notice, "");
  ASSERT_EQ(m_session.m_arrPushed.size(), 1u);
  EXPECT_STREQ(m_session.m_arrPushed[0].body, "flag=d&thread_id=T9&body=%61%62%63&body_type=mht");
}

TEST_F(PersonalSender, MessagesAfterApplicationKeepEveryPushId) {
  m_session.m_strAlias = "Li";
  auto sender = Make();
  CString notice;
  sender->ApplySession("c1,c2", notice);
  EXPECT_EQ(sender->Send("Hi", "<b>", "mht", notice), SenderResult::kSent);
  EXPECT_EQ(sender->Send("", "x", "mht", notice), SenderResult::kSent);
  ASSERT_EQ(m_session.m_arrPushed.size(), 3u);
  EXPECT_STREQ(m_session.m_arrPushed[1].body, "flag=d&thread_id=S1234&body=%3C%62%3E&abstract=H%69&body_type=mht&from=L%69");
  EXPECT_EQ(sender->m_arrPushIds, (std::vector<unsigned>{41, 42, 43}));
  EXPECT_EQ(sender->GetApplyPushId(), 41u);
  EXPECT_TRUE(sender->OwnsPushId(43));
  EXPECT_FALSE(sender->OwnsPushId(44));
}

TEST_F(PersonalSender, RequestModes) {
  auto sender = Make();
  sender->SetThreadId("T");
  CString notice = "keep";
  EXPECT_EQ(sender->SendRequest('x', "a", "b", "c", notice), SenderResult::kNothingDone);
  EXPECT_STREQ(notice, "keep");
  EXPECT_TRUE(m_session.m_arrPushed.empty());
  for (char mode : {'a', 'c', 'd', 'r'}) {
    EXPECT_EQ(sender->SendRequest(mode, "", "1", "mht", notice), SenderResult::kPushed) << mode;
    EXPECT_STREQ(m_session.m_arrPushed.back().body, "flag=d&thread_id=T&body=1&body_type=mht") << mode;
  }
  EXPECT_EQ(sender->GetApplyPushId(), 0u);  // only an application sets it
}

TEST_F(PersonalSender, MissingRequestPool) {
  ASSERT_TRUE(CHostFiles::Write(m_host.XmlPath(), "<message/>"));
  auto sender = Make();
  EXPECT_STREQ(sender->m_strReqPool, "");
  CString notice;
  EXPECT_EQ(sender->ApplySession("c1", notice), SenderResult::kPoolMissing);
  EXPECT_STREQ(notice, "您的系统配置有问题，无法建会话， 请检查505配置! ");
  // The new thread and the established state stay, so the window can send.
  EXPECT_STREQ(sender->GetThreadId(), "S1234");
  EXPECT_EQ(sender->GetState(), COrbChat_SendPersonalMsg::kStateEstablished);
  notice.Empty();
  // Nothing left, so the result does not claim it was sent.
  EXPECT_EQ(sender->Send("a", "b", "mht", notice), SenderResult::kPoolMissing);
  EXPECT_STREQ(notice, SenderNotice::kPoolMissing);
  EXPECT_TRUE(m_session.m_arrPushed.empty());
  EXPECT_TRUE(sender->m_arrPushIds.empty());
}

TEST_F(PersonalSender, RefusedPushIsReportedAndNotRecorded) {
  m_session.m_bRefuse = true;
  auto sender = Make();
  CString notice;
  EXPECT_EQ(sender->ApplySession("c1", notice), SenderResult::kPushRefused);
  EXPECT_STREQ(notice, "发送失败! 还没有建立系统链接");
  EXPECT_EQ(sender->GetApplyPushId(), 0u);
  notice.Empty();
  EXPECT_EQ(sender->Send("a", "b", "mht", notice), SenderResult::kPushRefused);
  EXPECT_STREQ(notice, SenderNotice::kPushRefused);
  EXPECT_TRUE(sender->m_arrPushIds.empty());
  EXPECT_FALSE(sender->OwnsPushId(0));
}

class GroupSender : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_host.WritePoolXml()); }
  std::unique_ptr<COrbChat_SendGroupMsg> Make() { return std::make_unique<COrbChat_SendGroupMsg>(&m_session); }

  CHostFiles m_host;
  CFakeSession m_session;
};

TEST_F(GroupSender, ThreadKeyFromTheIniPrefix) {
  const struct {
    const char* name;
    const char* ini;  // nullptr: no INI file
    const char* head;
    const char* key;
  } rows[] = {{"no INI file", nullptr, "", "12"},
              {"INI without the key", "[System]\r\nOther=1\r\n", "", "12"},
              {"key in another section", "[Chat]\r\nGroupMsgHead=x\r\n", "", "12"},
              {"default prefix", "[System]\r\nGroupMsgHead=g\r\n", "g", "g12"},
              {"longer prefix with comment", "[System]\r\ngroupmsghead = grp // prefix\r\n", "grp", "grp12"}};
  for (const auto& row : rows) {
    if (row.ini) {
      ASSERT_TRUE(m_host.WriteIni(row.ini));
    } else {
      DeleteFileA(m_host.IniPath());
    }
    auto sender = Make();
    EXPECT_STREQ(sender->m_strType, "506") << row.name;
    EXPECT_STREQ(sender->m_strReqPool, "orb.group.req") << row.name;
    EXPECT_STREQ(sender->m_strGroupMsgHead, row.head) << row.name;
    EXPECT_STREQ(sender->GetThreadId(), "") << row.name;
    sender->SetGroupId("12");
    EXPECT_STREQ(sender->GetGroupId(), "12") << row.name;
    EXPECT_STREQ(sender->GetThreadId(), row.key) << row.name;
  }
}

TEST_F(GroupSender, SendsToTheGroupId) {
  ASSERT_TRUE(m_host.WriteIni("[System]\r\nGroupMsgHead=g\r\n"));
  m_session.m_strAlias = "Ann";
  auto sender = Make();
  sender->SetGroupId("12");
  CString notice = "old";
  EXPECT_EQ(sender->Send("Hi", "abc", "mht", notice), SenderResult::kSent);
  EXPECT_STREQ(notice, "");
  ASSERT_EQ(m_session.m_arrPushed.size(), 1u);
  EXPECT_STREQ(m_session.m_arrPushed[0].pool, "orb.group.req");
  EXPECT_STREQ(m_session.m_arrPushed[0].body, "flag=d&group_id=12&body=%61%62%63&abstract=H%69&body_type=mht&from=A%6E%6E");
  // A thread key taken from a received message replaces the key, not the id.
  sender->SetThreadId("g99");
  EXPECT_EQ(sender->Send("", "1", "mht", notice), SenderResult::kSent);
  EXPECT_STREQ(m_session.m_arrPushed[1].body, "flag=d&group_id=12&body=1&body_type=mht&from=A%6E%6E");
  EXPECT_EQ(sender->m_arrPushIds, (std::vector<unsigned>{41, 42}));
  EXPECT_TRUE(sender->OwnsPushId(42));
  EXPECT_FALSE(sender->OwnsPushId(40));
}

TEST_F(GroupSender, RefusalsAndTheirNotices) {
  auto sender = Make();
  CString notice;
  EXPECT_EQ(sender->Send("a", "b", "mht", notice), SenderResult::kNothingDone);
  EXPECT_STREQ(notice, "没有设置群组编号！\r\n发送失败 [还没有建立系统链接]");
  // A thread key without a group id would address no group.
  notice.Empty();
  sender->SetThreadId("g12");
  EXPECT_EQ(sender->Send("a", "b", "mht", notice), SenderResult::kNothingDone);
  EXPECT_STREQ(notice, SenderNotice::kNoGroup);
  EXPECT_TRUE(m_session.m_arrPushed.empty());

  COrbChat_SendGroupMsg detached(nullptr);
  detached.SetGroupId("12");
  notice = "keep";
  EXPECT_EQ(detached.Send("a", "b", "mht", notice), SenderResult::kNoProtocol);
  EXPECT_STREQ(notice, "keep");
}

TEST_F(GroupSender, MissingPoolAndRefusedPush) {
  ASSERT_TRUE(CHostFiles::Write(m_host.XmlPath(), "<message><msgpool msgtype=\"505\" req=\"r\"/></message>"));
  auto noPool = Make();
  noPool->SetGroupId("12");
  CString notice;
  EXPECT_EQ(noPool->Send("a", "b", "mht", notice), SenderResult::kPoolMissing);
  EXPECT_STREQ(notice, "您的系统配置有问题，无法建会话， 请检查505配置! ");
  EXPECT_TRUE(m_session.m_arrPushed.empty());

  ASSERT_TRUE(m_host.WritePoolXml());
  m_session.m_bRefuse = true;
  auto refused = Make();
  refused->SetGroupId("12");
  notice.Empty();
  EXPECT_EQ(refused->Send("a", "b", "mht", notice), SenderResult::kPushRefused);
  EXPECT_STREQ(notice, SenderNotice::kPushRefused);
  EXPECT_TRUE(refused->m_arrPushIds.empty());
}

}  // namespace
