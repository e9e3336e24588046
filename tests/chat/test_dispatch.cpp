// The received-message dispatcher against a fake window registry and fake
// look-ups: which texts become records, which become notice lines, which
// window takes them, and what the window's thread id, members and caption
// become.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "InfoMsgStructer.h"
#include "chat/CReceivedDispatch.h"
#include "chat/IChatLookups.h"
#include "chat/IChatWindow.h"
#include "chat/IChatWindowRegistry.h"

namespace {

class FakeWindow : public IChatWindow {
 public:
  bool IsGroup() const override { return !m_strGroupId.IsEmpty(); }
  unsigned GetApplyPushId() const override { return m_nApplyPushId; }
  int GetSessionState() const override { return m_nState; }
  void SetSessionState(int state) override { m_nState = state; }
  void MarkSessionEstablished() override {
    ++m_nMarked;
    if (!IsGroup()) m_nState = 2;
  }
  CString GetThreadId() const override { return m_strThreadId; }
  void SetThreadId(const char* threadId) override { m_strThreadId = threadId; }
  CString GetMembers() const override { return m_strMembers; }
  void SetMembers(const char* members) override { m_strMembers = members; }
  void SetGroupId(const char* groupId) override { m_strGroupId = groupId; }
  CString GetTitle() const override { return m_strTitle; }
  void SetTitle(const char* title) override {
    if (!*title) return;
    m_strTitle = title;
    m_strCaption = title;
  }
  void SetCaption(const char* caption) override { m_strCaption = caption; }
  void SetBannerText(const char* text) override { m_strBanner = text; }
  void ShowSystemMessage(const char* name, const char* text) override {
    m_arrNotices.push_back(CString(name) + "|" + text);
  }
  void QueueMessage(std::unique_ptr<InfoMsgStructer> record) override { m_arrQueued.push_back(std::move(record)); }

  std::vector<unsigned> m_arrPushIds;
  unsigned m_nApplyPushId = 0;
  int m_nState = 0;
  int m_nMarked = 0;
  CString m_strThreadId, m_strMembers, m_strGroupId, m_strTitle, m_strCaption, m_strBanner;
  std::vector<CString> m_arrNotices;
  std::vector<std::unique_ptr<InfoMsgStructer>> m_arrQueued;
};

class FakeRegistry : public IChatWindowRegistry {
 public:
  IChatWindow* FindByPushId(unsigned pushId) override {
    for (auto it = m_arrWindows.rbegin(); it != m_arrWindows.rend(); ++it)
      for (unsigned id : (*it)->m_arrPushIds)
        if (id == pushId) return it->get();
    return nullptr;
  }
  IChatWindow* OpenForm(const char* threadId, const char* members, const char* groupId) override {
    m_arrOpened.push_back(CString(threadId) + "|" + members + "|" + groupId);
    auto window = std::make_unique<FakeWindow>();
    window->SetMembers(members);
    window->SetGroupId(groupId);
    window->SetThreadId(threadId);
    m_arrWindows.push_back(std::move(window));
    return m_arrWindows.back().get();
  }
  FakeWindow& Add() {
    m_arrWindows.push_back(std::make_unique<FakeWindow>());
    return *m_arrWindows.back();
  }

  std::vector<std::unique_ptr<FakeWindow>> m_arrWindows;
  std::vector<CString> m_arrOpened;
};

class FakeLookups : public IChatLookups {
 public:
  CString GetDisplayName(const char* contactId) override {
    auto found = m_mapNames.find(contactId);
    return found != m_mapNames.end() ? found->second : CString("masked:") + contactId;
  }
  void RecordChatObject(const char* contactId, const char* name) override {
    m_arrRecorded.push_back(CString(contactId) + "=" + name);
  }
  bool LookupCommunity(const char* threadId, CString& members, CString& groupId, CString& groupName,
                       CString& groupDes) override {
    members.TrimLeft();
    if (CString(threadId) != "g12" || members != "g12") return false;
    members = "c1001,c1002,c1003";
    groupId = "12";
    groupName = "读书会";
    groupDes = "每周一书";
    return true;
  }
  std::map<CString, CString> m_mapNames{{"c1002", "李四"}, {"c1003", "王五"}};
  std::vector<CString> m_arrRecorded;
};

class DispatchTest : public ::testing::Test {
 protected:
  void Dispatch(const char* text, unsigned pushId = 0xFFFFFFFF) { m_dispatch.Dispatch(text, pushId); }
  FakeWindow& Opened(size_t index = 0) { return *m_registry.m_arrWindows.at(index); }

  FakeRegistry m_registry;
  FakeLookups m_lookups;
  CReceivedDispatch m_dispatch{m_registry, m_lookups, "c1001"};
};

}  // namespace

TEST_F(DispatchTest, OnlyObjectsWithMembersBecomeRecords) {
  Dispatch("  {\"thread_id\":\"S1\",\"thread_members\":\"c1001,c1002\",\"body\":\"你好\"}  \r\n");
  ASSERT_EQ(m_registry.m_arrWindows.size(), 1u) << "blanks around an object are accepted";
  EXPECT_EQ(m_registry.m_arrOpened[0], "S1|c1001,c1002|");
  ASSERT_EQ(Opened().m_arrQueued.size(), 1u);
  EXPECT_EQ(Opened().m_arrQueued[0]->body, "你好");
  for (const char* ignored : {"[{\"thread_id\":\"S1\",\"thread_members\":\"c1001,c1002\"}]", "not json", "",
                              "{\"thread_id\":\"S2\"}",                           // a delivery confirmation
                              "{\"thread_id\":\"S3\",\"thread_members\":null}",   // null counts as absent
                              "{\"thread_id\":\"S4\",\"thread_members\":\"\"}"})
    Dispatch(ignored);
  EXPECT_EQ(m_registry.m_arrWindows.size(), 1u);
  EXPECT_EQ(Opened().m_arrQueued.size(), 1u);
}

TEST_F(DispatchTest, SessionAndFailureAnswersBecomeNoticesOfTheirWindow) {
  FakeWindow& personal = m_registry.Add();
  personal.m_arrPushIds = {41, 42};
  personal.m_nApplyPushId = 41;
  const char* answer = "{\"issuccessful\":3,\"errorinfo\":\"busy\",\"thread_members\":\"c1001,c1002\"} ";
  Dispatch(answer, 41);
  EXPECT_EQ(personal.m_nState, 2);
  ASSERT_EQ(personal.m_arrNotices.size(), 2u);
  EXPECT_EQ(personal.m_arrNotices[0], CString("申请会话应答：|") + answer) << "the text as received";
  EXPECT_EQ(personal.m_arrNotices[1], "系统错误|[3]:busy");
  // A failure to another push of the window: a line with the message, or
  // nothing without one; never a record.
  Dispatch("{\"issuccessful\":\"1\",\"errorinfo\":\"\xE7\xB3\xBB\xE7\xBB\x9F\"}", 42);  // UTF-8 of 系统
  Dispatch("{\"issuccessful\":5,\"thread_members\":\"c1001,c1002\"}", 42);
  ASSERT_EQ(personal.m_arrNotices.size(), 3u);
  EXPECT_EQ(personal.m_arrNotices[2], "系统错误|[1]:系统");
  EXPECT_TRUE(personal.m_arrQueued.empty());
  EXPECT_TRUE(m_registry.m_arrOpened.empty());
  // The same failure without an owner (push id 0) is not an answer: with a
  // member list it is taken as a message.
  Dispatch("{\"issuccessful\":5,\"thread_members\":\"c1001,c1002\"}", 0);
  EXPECT_EQ(m_registry.m_arrOpened.size(), 1u);
}

TEST_F(DispatchTest, TheOwnerByPushIdTakesTheMessageAndIsBroughtUpToDate) {
  FakeWindow& first = m_registry.Add();
  FakeWindow& second = m_registry.Add();
  first.m_arrPushIds = second.m_arrPushIds = {50};
  Dispatch("{\"thread_id\":\"S9\",\"thread_members\":\" c1001,c1003 \",\"from_id\":\"c1003\",\"from\":\"c1003\"}",
           50);
  EXPECT_TRUE(first.m_arrQueued.empty()) << "the newest owner wins";
  ASSERT_EQ(second.m_arrQueued.size(), 1u);
  const InfoMsgStructer& record = *second.m_arrQueued[0];
  EXPECT_EQ(record.from, "王五") << "a sender named by its id shows its display name";
  EXPECT_EQ(record.thread_members, "c1001,c1003") << "trimmed";
  EXPECT_EQ(second.m_strThreadId, "S9");
  EXPECT_EQ(second.m_strMembers, "c1001,c1003 ") << "as the community look-up left it";
  EXPECT_EQ(second.m_nMarked, 1);
  EXPECT_EQ(second.m_strTitle, "王五");
  EXPECT_EQ(m_lookups.m_arrRecorded, std::vector<CString>{"c1003=王五"});
  // Established personal windows are not marked again; a message without a
  // sender id records nobody (its sender shows as the empty id's name).
  Dispatch("{\"thread_id\":\"S9\",\"thread_members\":\"c1001,c1003\"}", 50);
  EXPECT_EQ(second.m_nMarked, 1);
  EXPECT_EQ(m_lookups.m_arrRecorded.size(), 1u);
  EXPECT_TRUE(m_registry.m_arrOpened.empty());
}

TEST_F(DispatchTest, CaptionsComeFromTheOneOtherMemberOrFromATitleOfTwoOrMore) {
  const struct {
    const char* members;
    const char* title;
    const char* caption;
  } rows[] = {
      {"c1001,c1002", "", "李四"},
      {"C1002,c1001", "", "李四"},                // the own id in other letter case
      {"c1001,c1002", "Team", "Team"},           // a title of two or more wins
      {"c1001,c1002,c1003", "Team", "Team"},
      {"c1001,c1002,c1003", "T", ""},            // a one-letter title changes nothing
      {"c1001", "", "masked:"},                  // only the user: the empty id's name
      {"c1001,c10011", "", "masked:c10011"},     // the own id is not cut out of a longer id
  };
  for (const auto& row : rows) {
    FakeRegistry registry;
    CReceivedDispatch dispatch(registry, m_lookups, "c1001");
    CString text;
    text.Format("{\"thread_id\":\"S1\",\"thread_members\":\"%s\",\"title\":\"%s\"}", row.members, row.title);
    dispatch.Dispatch(text, 0);
    ASSERT_EQ(registry.m_arrWindows.size(), 1u) << row.members;
    EXPECT_EQ(registry.m_arrWindows[0]->m_strCaption, row.caption) << row.members << " / " << row.title;
  }
}

TEST_F(DispatchTest, ACommunityThreadOpensAGroupWindowWithItsCaptionAndBanner) {
  Dispatch("{\"thread_id\":\"g12\",\"thread_members\":\" g12\",\"from_id\":\"c1002\",\"from\":\"李四\"}");
  ASSERT_EQ(m_registry.m_arrOpened.size(), 1u);
  EXPECT_EQ(m_registry.m_arrOpened[0], "g12|c1001,c1002,c1003|12");
  FakeWindow& window = Opened();
  EXPECT_EQ(window.m_strCaption, "读书会");
  EXPECT_EQ(window.m_strTitle, "") << "the caption only";
  EXPECT_EQ(window.m_strBanner, "每周一书");
  EXPECT_TRUE(window.IsGroup());
  EXPECT_EQ(window.m_nMarked, 1);
  ASSERT_EQ(window.m_arrQueued.size(), 1u);
  EXPECT_EQ(window.m_arrQueued[0]->thread_members, "c1001,c1002,c1003");
  // Not a known community: an ordinary conversation of those members.
  Dispatch("{\"thread_id\":\"g12\",\"thread_members\":\"g13\"}");
  ASSERT_EQ(m_registry.m_arrOpened.size(), 2u);
  EXPECT_EQ(m_registry.m_arrOpened[1], "g12|g13|");
  EXPECT_FALSE(Opened(1).IsGroup());
}
