// Sending what the editor holds: the gates in their order with their exact
// messages, the stored record, the echo, the editor made new, and the
// session application on the first tick of timer 2.
#include <gtest/gtest.h>

#include "CImage.h"
#include "CTestFolder.h"
#include "FormTestSupport.h"
#include "MessageBoxRecorder.h"
#include "form/COrbChat_Form.h"

namespace {

constexpr const char* kEmpty = "发送内容为空!\r\n";
constexpr const char* kRepeated = "不能重复发言 !\r\n";
constexpr const char* kTooFast = "发言速度太快 !\r\n";

// The host's pool file, so the senders have their request pools.
struct HostPools {
  HostPools() {
    folder.Write("宿主.xml",
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<message>\n"
                 "  <msgpool msgtype=\"505\" req=\"orb.chat.req\" ans=\"orb.chat.ans\"/>\n"
                 "  <msgpool msgtype=\"506\" req=\"orb.group.req\" ans=\"orb.group.ans\"/>\n</message>\n");
  }
  CTestFolder folder;
};

class ComposeTest : public ::testing::Test {
 protected:
  ComposeTest()
      : m_hostPath(Seams::SetHostExePath, [this] { return m_host.folder.File("宿主.exe"); }),
        m_clock(Seams::SetTickCount, [this] { return m_dwNow; }) {}
  COrbChat_Form& Form() { return *m_fixture.m_pForm; }
  void Type(const char* text) {
    Form().GetEditor().SetHtml(CString("<html><body>") + text + "</body></html>");
  }
  // The text of the box the last send showed, "" when it showed none.
  CString Send() {
    const size_t before = m_boxes.Count();
    Form().SendComposed();
    return m_boxes.Count() > before ? m_boxes.Last().text : CString();
  }

  HostPools m_host;
  OrbTesting::ScopedSeam<Seams::ModulePathFn> m_hostPath;
  CFormFixture m_fixture;
  DWORD m_dwNow = 100000;
  OrbTesting::ScopedSeam<Seams::TickCountFn> m_clock;
  OrbTesting::MessageBoxRecorder m_boxes;
};

}  // namespace

TEST_F(ComposeTest, GatesRefuseInOrderAndLeaveTheEditorAlone) {
  Type("你好");
  EXPECT_EQ(Send(), "没有 会话发送对象!\r\n请先添加会话对象成功后再发送\r\n如果没有联系人列表，本功能暂时无法使用!\r\n");
  EXPECT_EQ(m_boxes.Last().caption, "提示信息");
  EXPECT_EQ(m_boxes.Last().type, static_cast<UINT>(MB_ICONINFORMATION));
  Form().SetMembers("c1001,c1002");
  EXPECT_EQ(Send(), "会话申请尚未成功!\r\n请稍侯...会话申请成功后再发送\r\n或 按【关闭】按钮重新申请会话!\r\n");
  Form().SetThreadId("S1");
  Type("   ");
  EXPECT_EQ(Send(), kEmpty);
  EXPECT_TRUE(m_fixture.m_session.m_arrSaved.empty());

  Type("第一条");
  EXPECT_EQ(Send(), "");
  m_dwNow += 10000;
  Type("第一条");
  EXPECT_EQ(Send(), kRepeated) << "however much later";
  EXPECT_NE(Form().GetEditor().GetText(1).Find("第一条"), -1) << "a refused message stays in the editor";
  // Speed: a different content within 500 ms is refused and becomes the
  // last content, so sending it again later is a repetition.
  Type("第二条");
  EXPECT_EQ(Send(), "");
  m_dwNow += 499;
  Type("第三条");
  EXPECT_EQ(Send(), kTooFast);
  m_dwNow += 1000;
  EXPECT_EQ(Send(), kRepeated);
  Type("第四条");
  EXPECT_EQ(Send(), "");
  EXPECT_EQ(m_fixture.m_session.m_arrSaved.size(), 3u);
}

TEST_F(ComposeTest, ASentMessageIsStoredEchoedAndTheEditorStartsAnew) {
  Form().SetMembers("c1001,c1002");
  Form().SetThreadId("S7");
  Form().SetSessionState(2);
  const size_t pending = Form().GetPendingCount();
  const CString text('x', 81);
  Type(text);
  EXPECT_EQ(Send(), "");
  ASSERT_EQ(m_fixture.m_session.m_arrSaved.size(), 1u);
  const InfoMsgStructer& record = m_fixture.m_session.m_arrSaved[0];
  EXPECT_EQ(record.abstract, text);
  EXPECT_EQ(record.title, CString('x', 80) + " ...");
  EXPECT_EQ(record.url, "mht");
  EXPECT_EQ(record.msg_type, "505");
  EXPECT_EQ(record.thread_id, "S7");
  EXPECT_EQ(record.thread_members, "c1001,c1002");
  EXPECT_EQ(record.from, "张三");
  EXPECT_EQ(record.msg_id, record.publish_time);
  EXPECT_EQ(record.msg_id.GetLength(), 14);
  EXPECT_NE(record.body.Find("Content-Type:"), -1) << "the body is the editor's single-file page";
  ASSERT_FALSE(m_fixture.m_session.m_arrPushed.empty());
  EXPECT_EQ(m_fixture.m_session.m_arrPushed.back().body.Find("flag=d&thread_id=S7"), 0);
  EXPECT_EQ(Form().GetPendingCount(), pending + 1) << "the echo waits for the next tick";
  CString left = Form().GetEditor().GetText(1);
  left.Trim();
  EXPECT_EQ(left, "");
  // Chinese titles are cut after 80 characters, never inside one.
  CString chinese, eighty;
  for (int i = 0; i < 81; ++i) chinese += "字";
  for (int i = 0; i < 80; ++i) eighty += "字";
  m_dwNow += 1000;
  Type(chinese);
  EXPECT_EQ(Send(), "");
  ASSERT_EQ(m_fixture.m_session.m_arrSaved.size(), 2u);
  EXPECT_EQ(m_fixture.m_session.m_arrSaved[1].title, eighty + " ...");
}

TEST_F(ComposeTest, TheFirstTickOfTimerTwoAppliesForASessionOnce) {
  Form().SetMembers("c1001,c1002");
  Form().SetTimer(COrbChat_Form::kTimerSession, 1000);
  Form().SendMessage(WM_TIMER, COrbChat_Form::kTimerSession);
  ASSERT_EQ(m_fixture.m_session.m_arrPushed.size(), 1u);
  EXPECT_EQ(m_fixture.m_session.m_arrPushed[0].body.Find("flag=i&thread_id=S"), 0);
  EXPECT_FALSE(Form().GetThreadId().IsEmpty());
  Form().SendMessage(WM_TIMER, COrbChat_Form::kTimerSession);
  EXPECT_EQ(m_fixture.m_session.m_arrPushed.size(), 1u) << "a form with a thread id applies no more";
}

namespace {

// The editor filled with chinese characters in lines of 40, then a line of
// letters letters and equals equal signs; the length of its page.
int MhtLengthOf(COrbChat_Form& form, int chinese, int letters, int equals) {
  CString line, html("<html><body>");
  for (int i = 0; i < 40; ++i) line += "字";
  for (int left = chinese; left > 0; left -= 40) html += "<DIV>" + (left >= 40 ? line : line.Left(2 * left)) + "</DIV>";
  html += "<DIV>" + CString('x', letters) + CString('=', equals) + "</DIV></body></html>";
  form.GetEditor().SetHtml(html);
  return form.GetEditor().GetMHT().GetLength();
}

}  // namespace

// The size limit counts the characters of the page: 1,048,576 are sent, one
// more is refused (and the refusal still starts the speed gate's interval).
TEST_F(ComposeTest, APageOfExactlyOneMebicharacterIsSentAndOneMoreIsRefused) {
  Form().SetMembers("c1001,c1002");
  Form().SetThreadId("S7");
  constexpr int kLimit = COrbChat_Form::kMaxMhtLength;
  const int base = MhtLengthOf(Form(), 0, 0, 0);
  const int sample = MhtLengthOf(Form(), 20000, 0, 0);
  const int chinese = static_cast<int>(static_cast<long long>(kLimit - base - 400) * 20000 / (sample - base));
  int letters = 0, equals = 0, length = MhtLengthOf(Form(), chinese, 0, 0);
  // Letters add one character each and an equal sign three, soft line breaks
  // three more now and then. Close in on the limit; where a soft break jumps
  // over it, an equal sign in place of three letters shifts the breaks.
  int previousMissing = 0;
  for (int tries = 0; tries < 16 && length != kLimit; ++tries) {
    const int missing = kLimit - length;
    if (tries > 0 && missing == -previousMissing) {
      equals += 1;
      letters = std::max(0, letters - 3);
    } else {
      letters = std::max(0, letters + missing);
    }
    previousMissing = missing;
    length = MhtLengthOf(Form(), chinese, letters, equals);
  }
  ASSERT_EQ(length, kLimit) << "could not build a page of exactly the limit";
  EXPECT_EQ(Send(), "");
  EXPECT_EQ(m_fixture.m_session.m_arrSaved.size(), 1u);
  m_dwNow += 1000;
  int longer = MhtLengthOf(Form(), chinese, letters + 1, equals);
  ASSERT_GT(longer, kLimit);
  EXPECT_EQ(Send(), "发言内容太长,不能超过 1M(兆) 字节 !\r\n");
  m_dwNow += 100;
  Type("别的内容");
  EXPECT_EQ(Send(), kTooFast) << "the refused size still counts as a send attempt";
}

// A picture alone is a message (with an empty abstract and title); a group
// form sends through the group sender and stores the group's key and members.
TEST_F(ComposeTest, APictureAloneIsSentAndGroupFormsUseTheGroupSender) {
  CTestFolder pictures;
  CImage image;
  image.Create(16, 16, 24);
  ASSERT_TRUE(SUCCEEDED(image.Save(pictures.File("图.png"))));
  Form().SetGroupId("g12");
  Form().SetThreadId("g12_key");
  Form().SetMembers("c1001,c1002,c1003");
  Type("<img src=\"" + pictures.File("图.png") + "\">");
  EXPECT_EQ(Send(), "");
  ASSERT_EQ(m_fixture.m_session.m_arrSaved.size(), 1u);
  const InfoMsgStructer& record = m_fixture.m_session.m_arrSaved[0];
  EXPECT_EQ(record.abstract, "");
  EXPECT_EQ(record.title, "");
  EXPECT_EQ(record.msg_type, "506");
  EXPECT_EQ(record.thread_id, "g12_key");
  EXPECT_EQ(record.thread_members, "c1001,c1002,c1003");
  EXPECT_NE(record.body.Find("Content-Location"), -1) << "the picture travels inside the page";
}
