// The chat module's own request bodies and received-text reader against the
// embedded server: whatever the module encodes, the server decodes exactly,
// and what the server sends, the module reads back to the same texts.
#include <gtest/gtest.h>

#include "OrbcommTestSupport.h"
#include "messaging/MessageBodies.h"
#include "messaging/ReceivedText.h"

using namespace orbtest;

namespace {

CReceivedText PopOne(COrbHttp_Protocol_Orb& session, const char* pool, unsigned& pushId) {
  CString text = session.Pop(pool, pushId);
  EXPECT_FALSE(text.IsEmpty());
  return CReceivedText::Parse(text);
}

TEST(ModuleInterop, EveryTextTheModuleSendsArrivesUnchanged) {
  CTestFolder folder;
  COrbLocalServer server;
  auto zhang = Connect(server, folder.Root(), "1001", "张三 & \"Z\"");
  auto li = Connect(server, folder.Root(), "1002", "李四");
  // Thread ids are raw values: the module may escape the pair separators.
  const CString threadId = zhang->GetSessionID() + "&x=1";
  unsigned applied = zhang->Push(kReq505, MessageBodies::SessionApplication(threadId, "c1002", zhang->GetMyAlias()));
  unsigned answered = 0;
  CReceivedText answer = PopOne(*zhang, kAns505, answered);
  EXPECT_EQ(answered, applied);
  EXPECT_TRUE(answer.IsJson());
  EXPECT_FALSE(answer.IsFailure());

  const char* const texts[] = {
      "abc xyz ABC OPQ 0123",
      "中文 + 全角，标点。",
      "&=?/%*#<>+ \t\r\n",
      "100% 的 \\ 反斜杠 \"引号\"",
      "<HTML><BODY><DIV>段落</DIV><IMG src=\"file:///C:/a b.png\"></BODY></HTML>",
      "\xA4\x40\xB1\x5C",  // GBK characters whose trail bytes are "@" and "\"
  };
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    unsigned sent = zhang->Push(kReq505, MessageBodies::PersonalMessage(threadId, text, text, "mht", zhang->GetMyAlias()));
    unsigned none = 1;
    CReceivedText got = PopOne(*li, kAns505, none);
    EXPECT_EQ(none, 0u);
    ASSERT_TRUE(got.IsJson());
    EXPECT_STREQ(got.Get(ReceivedKey::Body), text);
    EXPECT_STREQ(got.Get(ReceivedKey::Abstract), text);
    EXPECT_EQ(got.Get(ReceivedKey::From), zhang->GetMyAlias());
    EXPECT_EQ(got.Get(ReceivedKey::ThreadId), threadId);
    EXPECT_STREQ(got.Get(ReceivedKey::ThreadMembers), "c1001,c1002");
    EXPECT_STREQ(got.Get(ReceivedKey::Url), "mht");
    unsigned confirmed = 0;
    CReceivedText confirmation = PopOne(*zhang, kAns505, confirmed);
    EXPECT_EQ(confirmed, sent);
    EXPECT_FALSE(confirmation.IsFailure());
    EXPECT_FALSE(confirmation.Has(ReceivedKey::ThreadMembers));
  }
}

TEST(ModuleInterop, RawValuesHoldingEscapesArriveExactly) {
  CTestFolder folder;
  COrbLocalServer server;
  auto zhang = Connect(server, folder.Root(), "1001", "张三");
  auto li = Connect(server, folder.Root(), "1002", "李四");
  // Two threads whose ids differ only in "&" against "%26" are two threads.
  const CString ids[] = {"U&X", "U%26X", "T6%3D%25"};
  for (const CString& id : ids) {
    SCOPED_TRACE(id.GetString());
    unsigned applied = zhang->Push(kReq505, MessageBodies::SessionApplication(id, "c1002", ""));
    unsigned answered = 0;
    CReceivedText answer = PopOne(*zhang, kAns505, answered);
    EXPECT_EQ(answered, applied);
    EXPECT_FALSE(answer.IsFailure()) << answer.FormatFailureLine().GetString();
    EXPECT_EQ(answer.Get(ReceivedKey::ThreadId), id);
    EXPECT_TRUE(server.HasThread(id));
    zhang->Push(kReq505, MessageBodies::PersonalMessage(id, "x", "x", "mht", ""));
    unsigned none = 1;
    CReceivedText got = PopOne(*li, kAns505, none);
    EXPECT_EQ(got.Get(ReceivedKey::ThreadId), id);
    PopOne(*zhang, kAns505, answered);  // the confirmation
  }
}

TEST(ModuleInterop, GroupMessagesAndFailuresReadAsTheModuleExpects) {
  CTestFolder folder;
  COrbLocalServer server;
  ASSERT_TRUE(server.AddCommunity("12", "读书会", "", "c1001,c1002"));
  auto zhang = Connect(server, folder.Root(), "1001", "张三");
  auto li = Connect(server, folder.Root(), "1002", "");
  li->Push(kReq506, MessageBodies::GroupMessage("12", "", "<P>好</P>", "mht", li->GetMyAlias()));
  unsigned none = 1;
  CReceivedText got = PopOne(*zhang, kAns506, none);
  EXPECT_STREQ(got.Get(ReceivedKey::ThreadId), "g12");
  EXPECT_STREQ(got.Get(ReceivedKey::ThreadMembers), "g12");
  EXPECT_STREQ(got.Get(ReceivedKey::FromId), "c1002");
  EXPECT_STREQ(got.Get(ReceivedKey::From), "c1002");  // no alias: the id stands in
  EXPECT_FALSE(got.Has(ReceivedKey::Abstract));

  unsigned sent = zhang->Push(kReq506, MessageBodies::GroupMessage("99", "x", "x", "mht", "张三"));
  unsigned answered = 0;
  CReceivedText failure = PopOne(*zhang, kAns506, answered);
  EXPECT_EQ(answered, sent);
  EXPECT_TRUE(failure.IsFailure());
  EXPECT_EQ(failure.GetErrorCode(), ORB_ERR_NO_GROUP);
  EXPECT_NE(failure.GetErrorInfo().Find("群组不存在"), -1) << failure.GetErrorInfo().GetString();
  EXPECT_NE(failure.FormatFailureLine().Find("[406]:"), -1);

  unsigned infoId = zhang->Push("GetGroupInfo", MessageBodies::GroupInfoRequest(" 12 "));
  CReceivedText info = PopOne(*zhang, "orb.sys.ans", answered);
  EXPECT_EQ(answered, infoId);
  EXPECT_FALSE(info.IsFailure());
  EXPECT_FALSE(info.Has(ReceivedKey::ThreadMembers));  // the manager drops it, opens no window
}

}  // namespace
