#include "CDemoChatScript.h"

#include <commctrl.h>

#include "COrbHttp_Protocol_Orb.h"
#include "CodePage.h"
#include "DemoWindows.h"
#include "WindowShot.h"

namespace {

using namespace DemoWindows;

// What the other host brings may take a while: it starts under Wine and
// connects first. 60 s at the frame's 250 ms.
constexpr int kWaitTicks = 240;

}  // namespace

const char* const CDemoChatScript::kOffline = "李四，你好！这条消息是你不在线时发的。";
const char* const CDemoChatScript::kReply = "收到了，张三！我刚上线，看到了你的留言。";
const char* const CDemoChatScript::kAnswer = "好的，那我们明天上午十点见。";

CDemoChatScript::CDemoChatScript(HWND panel, const CString& shotsDir, COrbHttp_Protocol_Orb& session,
                                 const CString& role)
    : m_hPanel(panel), m_strShotsDir(shotsDir), m_session(session) {
  if (!m_strShotsDir.IsEmpty() && m_strShotsDir.Right(1) != "\\") m_strShotsDir += "\\";
  if (role == "send-offline") {
    AddOpenFromTree("小李");
    AddSend("小李", kOffline, "demo-mqtt-1-zhang-offline.png");
  } else if (role == "reply") {
    m_nLeft = 690;
    AddWaitForWindow("张三", kOffline);
    AddSend("张三", kReply, nullptr);
    AddWaitForText("张三", kAnswer, "demo-mqtt-3-li.png");
  } else {
    AddWaitForWindow("小李", kReply);
    AddSend("小李", kAnswer, "demo-mqtt-2-zhang.png");
  }
}

HWND CDemoChatScript::FindConversation(const char* caption) { return FindDialog(caption); }

void CDemoChatScript::AddOpenFromTree(const char* node) {
  const CString caption = node;
  m_arrPhases.push_back({"从联系人树打开与" + caption + "的对话",
                         [this, caption] {
                           HWND tree = ::GetDlgItem(m_hPanel, kObjectTree);
                           HTREEITEM found = FindContactNode(tree, caption);
                           if (!found) Fail("联系人树中没有 " + caption);
                           ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(found));
                           ::SendMessageA(tree, WM_COMMAND, kSendInstantMessage, 0);
                         },
                         [caption] {
                           HWND form = FindConversation(caption);
                           return form && ::IsWindowVisible(form) && ViewText(form).Find("申请会话应答") >= 0;
                         },
                         [this, caption] { Place(FindConversation(caption)); },
                         kWaitTicks});
}

void CDemoChatScript::AddWaitForWindow(const char* caption, const char* text) {
  const CString name = caption, expected = text;
  m_arrPhases.push_back({"等待" + name + "的消息打开对话窗口", nullptr,
                         [name] { return FindConversation(name) != nullptr; },
                         [this, name] {
                           m_arrLog.push_back("收到消息，对话窗口已打开");
                           ::ShowWindow(FindConversation(name), SW_RESTORE);
                           Place(FindConversation(name));
                         },
                         kWaitTicks});
  AddWaitForText(caption, text, nullptr);
}

void CDemoChatScript::AddWaitForText(const char* caption, const char* text, const char* shot) {
  const CString name = caption, expected = text;
  const CString picture = shot ? shot : "";
  m_arrPhases.push_back({"等待对话窗口显示：" + expected, nullptr,
                         [name, expected] { return ViewText(FindConversation(name)).Find(expected) >= 0; },
                         [this, name, picture] {
                           if (!picture.IsEmpty()) Shot(name, picture);
                         },
                         kWaitTicks});
}

void CDemoChatScript::AddSend(const char* caption, const char* text, const char* shot) {
  const CString name = caption, message = text;
  const CString picture = shot ? shot : "";
  m_arrPhases.push_back({"发送：" + message,
                         [name, message] {
                           HWND form = FindConversation(name);
                           HWND editor = HostedControl(form, kEditorHost);
                           const std::wstring wide = CodePage::AnsiToWide(message);
                           ::SendMessageW(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
                           ::SendMessageA(::GetDlgItem(form, kSendButton), BM_CLICK, 0, 0);
                         },
                         // Sent once the view shows it and the broker has acknowledged it.
                         [this, name, message] {
                           return ViewText(FindConversation(name)).Find(message) >= 0 && m_session.GetUnsentCount() == 0;
                         },
                         [this, name, picture] {
                           m_arrLog.push_back("服务器已确认收到");
                           if (!picture.IsEmpty()) Shot(name, picture);
                         },
                         kWaitTicks});
}

void CDemoChatScript::Place(HWND form) const {
  RECT rect{};
  if (!form || !::GetWindowRect(form, &rect)) return;
  ::SetWindowPos(form, HWND_TOP, m_nLeft, 60, 0, 0, SWP_NOSIZE);
}

void CDemoChatScript::Shot(const char* caption, const char* name) {
  HWND form = FindConversation(caption);
  ::SetForegroundWindow(form);
  ::BringWindowToTop(form);
  ::RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const WindowShotResult shot = SaveWindowShot(form, m_strShotsDir + name);
  CString line;
  if (!shot.saved || shot.colours < 8)
    Fail(CString("截图失败：") + name + " " + shot.error);
  else
    line.Format("截图 %s%s（%d x %d）", m_strShotsDir.GetString(), name, shot.width, shot.height);
  if (!line.IsEmpty()) m_arrLog.push_back(line);
}

bool CDemoChatScript::Step() {
  // What follows a phase that timed out depends on it: the run ends there.
  if (RunPhase() == PhaseTick::TimedOut) m_nPhase = m_arrPhases.size();
  return IsDone();
}
