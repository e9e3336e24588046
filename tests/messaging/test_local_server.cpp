// The senders against the embedded local chat server: what one user sends,
// another receives, and the answers come back to the sender by push id.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "COrbHttp_Protocol_Orb.h"
#include "COrbLocalServer.h"
#include "CodePage.h"
#include "HostFiles.h"
#include "OrbServerError.h"
#include "Seams.h"
#include "messaging/COrbChat_SendGroupMsg.h"
#include "messaging/COrbChat_SendPersonalMsg.h"
#include "messaging/ReceivedText.h"
#include "messaging/SenderResults.h"
#include "support/FileUtils.h"

namespace {

struct Popped {
  unsigned pushId;
  CReceivedText text;
};

// Everything waiting in the answer pools, read into fields.
std::vector<Popped> PopAll(COrbHttp_Protocol_Orb& session) {
  std::vector<Popped> out;
  for (const char* pool : {"orb.sys.ans", "orb.chat.ans", "orb.group.ans"}) {
    for (int i = 0; i < 1000; ++i) {
      unsigned pushId = 0;
      const CString text = session.Pop(pool, pushId);
      if (text.IsEmpty()) break;
      out.push_back({pushId, CReceivedText::Parse(text)});
    }
  }
  return out;
}

class LocalServer : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_host.WritePoolXml());
    ASSERT_TRUE(m_host.WriteIni("[System]\r\nGroupMsgHead=g\r\n"));
    m_strProfiles = m_host.ExePath() + ".profiles";
    LogIn(m_alice, "1001", "张三");
    LogIn(m_bob, "1002", "李四");
  }
  void TearDown() override {
    m_alice.Logout();
    m_bob.Logout();
    std::error_code ignored;
    std::filesystem::remove_all(CodePage::AnsiToWide(m_strProfiles), ignored);
  }
  void LogIn(COrbHttp_Protocol_Orb& session, const char* id, const char* alias) {
    InfoLoginInfoStruct who;
    who.m_strUserID = id;
    who.m_strAlias = alias;
    who.m_strProfileDir = m_strProfiles + "\\" + id;
    CString error;
    ASSERT_TRUE(session.Login(who, error)) << error.GetString();
    ASSERT_TRUE(session.Link(&m_server, error)) << error.GetString();
  }

  CHostFiles m_host;
  CString m_strProfiles;
  COrbLocalServer m_server;
  COrbHttp_Protocol_Orb m_alice;
  COrbHttp_Protocol_Orb m_bob;
};

TEST_F(LocalServer, PersonalConversation) {
  COrbChat_SendPersonalMsg sender(&m_alice);
  CString notice;
  ASSERT_EQ(sender.ApplySession("c1001,c1002", notice), SenderResult::kPushed) << notice.GetString();
  EXPECT_TRUE(m_server.HasThread(sender.GetThreadId()));

  // The answer to the application carries its push id.
  bool answered = false;
  for (const Popped& p : PopAll(m_alice)) answered |= p.pushId == sender.GetApplyPushId() && p.text.IsJson();
  EXPECT_TRUE(answered);

  // A body full of "&" and "=" and Chinese text arrives whole.
  const CString body = "<P>你好&nbsp;world=3D &amp; a=b&c</P>";
  ASSERT_EQ(sender.Send("你好 & =", body, "mht", notice), SenderResult::kSent) << notice.GetString();
  std::vector<Popped> received = PopAll(m_bob);
  const Popped* message = nullptr;
  for (const Popped& p : received) {
    if (p.text.Has(ReceivedKey::Body)) message = &p;
  }
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(message->pushId, 0u);
  EXPECT_STREQ(message->text.Get(ReceivedKey::Body), body);
  EXPECT_STREQ(message->text.Get(ReceivedKey::Abstract), "你好 & =");
  EXPECT_STREQ(message->text.Get(ReceivedKey::ThreadId), sender.GetThreadId());
  EXPECT_STREQ(message->text.Get(ReceivedKey::FromId), "c1001");
  EXPECT_NE(message->text.Get(ReceivedKey::ThreadMembers).Find("c1002"), -1);
}

TEST_F(LocalServer, GroupConversationAndUnknownGroup) {
  ASSERT_TRUE(m_server.AddCommunity("12", "群", "", "c1001,c1002"));
  COrbChat_SendGroupMsg sender(&m_alice);
  sender.SetGroupId("12");
  EXPECT_STREQ(sender.GetThreadId(), "g12");
  CString notice;
  ASSERT_EQ(sender.Send("", "<P>大家好</P>", "mht", notice), SenderResult::kSent) << notice.GetString();
  bool delivered = false;
  for (const Popped& p : PopAll(m_bob)) {
    delivered |= p.text.Get(ReceivedKey::Body) == "<P>大家好</P>" && p.text.Get(ReceivedKey::ThreadId) == "g12";
  }
  EXPECT_TRUE(delivered);

  // A group the server does not know: a failure answer, routed by push id.
  PopAll(m_alice);
  sender.SetGroupId("99");
  ASSERT_EQ(sender.Send("", "x", "mht", notice), SenderResult::kSent);
  const unsigned pushId = sender.m_arrPushIds.back();
  bool failed = false;
  for (const Popped& p : PopAll(m_alice)) {
    if (p.pushId != pushId) continue;
    EXPECT_TRUE(sender.OwnsPushId(p.pushId));
    EXPECT_TRUE(p.text.IsFailure());
    EXPECT_EQ(p.text.GetErrorCode(), ORB_ERR_NO_GROUP);
    EXPECT_TRUE(p.text.HasErrorInfo());
    failed = true;
  }
  EXPECT_TRUE(failed);
}

}  // namespace
