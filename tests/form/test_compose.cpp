// Sending what the editor holds: the gates in their order with their exact
// messages, the stored record, the echo, the editor made new, and the
// session application on the first tick of timer 2.
#include <gtest/gtest.h>

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
