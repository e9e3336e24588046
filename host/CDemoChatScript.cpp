#include "CDemoChatScript.h"

#include <commctrl.h>

#include "COrbHttp_Protocol_Orb.h"
#include "CodePage.h"
#include "WindowShot.h"

namespace {

constexpr int kObjectTree = 22007;
constexpr int kViewHost = 22029;    // the static that holds a conversation's view
constexpr int kEditorHost = 22030;  // the static that holds its editor
constexpr int kSendButton = 22042;
constexpr int kSendInstantMessage = 32833;
// What the other host brings may take a while: it starts under Wine and
// connects first. 60 s at the frame's 250 ms.
constexpr int kWaitTicks = 240;

struct FindByCaption {
  CString caption;
  HWND found = nullptr;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM param) {
  auto* find = reinterpret_cast<FindByCaption*>(param);
  char cls[32] = {}, text[256] = {};
  ::GetClassNameA(window, cls, sizeof cls);
  ::GetWindowTextA(window, text, sizeof text);
  if (CString(cls) == "#32770" && find->caption == text) {
    find->found = window;
    return FALSE;
  }
  return TRUE;
}

HTREEITEM FindNode(HWND tree, const char* name) {
  auto next = [tree](HTREEITEM item, UINT how) {
    return reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
  };
  for (HTREEITEM top = next(nullptr, TVGN_ROOT); top; top = next(top, TVGN_NEXT))
    for (HTREEITEM child = next(top, TVGN_CHILD); child; child = next(child, TVGN_NEXT)) {
      char text[64] = {};
      TVITEMA item{};
      item.mask = TVIF_TEXT;
      item.hItem = child;
      item.pszText = text;
      item.cchTextMax = sizeof text;
      ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
      if (CString(text) == name) return child;
    }
  return nullptr;
}

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

HWND CDemoChatScript::FindConversation(const char* caption) {
  FindByCaption find{caption};
  ::EnumThreadWindows(::GetCurrentThreadId(), &MatchCaption, reinterpret_cast<LPARAM>(&find));
  return find.found;
}

CString CDemoChatScript::ViewText(HWND form) {
  HWND host = form ? ::GetDlgItem(form, kViewHost) : nullptr;
  HWND view = host ? ::GetWindow(host, GW_CHILD) : nullptr;
  if (!view) return CString();
  const int length = ::GetWindowTextLengthW(view);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  ::GetWindowTextW(view, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  return CodePage::WideToAnsi(text.c_str());
}

void CDemoChatScript::AddOpenFromTree(const char* node) {
  const CString caption = node;
  m_arrPhases.push_back({"从联系人树打开与" + caption + "的对话",
                         [this, caption] {
                           HWND tree = ::GetDlgItem(m_hPanel, kObjectTree);
                           HTREEITEM found = FindNode(tree, caption);
                           if (!found) Fail("联系人树中没有 " + caption);
                           ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(found));
                           ::SendMessageA(tree, WM_COMMAND, kSendInstantMessage, 0);
                         },
                         [caption] {
                           HWND form = FindConversation(caption);
                           return form && ::IsWindowVisible(form) && ViewText(form).Find("申请会话应答") >= 0;
                         },
                         [this, caption] { Place(FindConversation(caption)); }});
}

void CDemoChatScript::AddWaitForWindow(const char* caption, const char* text) {
  const CString name = caption, expected = text;
  m_arrPhases.push_back({"等待" + name + "的消息打开对话窗口", nullptr,
                         [name] { return FindConversation(name) != nullptr; },
                         [this, name] {
                           m_arrLog.push_back("收到消息，对话窗口已打开");
                           ::ShowWindow(FindConversation(name), SW_RESTORE);
                           Place(FindConversation(name));
                         }});
  AddWaitForText(caption, text, nullptr);
}

void CDemoChatScript::AddWaitForText(const char* caption, const char* text, const char* shot) {
  const CString name = caption, expected = text;
  const CString picture = shot ? shot : "";
  m_arrPhases.push_back({"等待对话窗口显示：" + expected, nullptr,
                         [name, expected] { return ViewText(FindConversation(name)).Find(expected) >= 0; },
                         [this, name, picture] {
                           if (!picture.IsEmpty()) Shot(name, picture);
                         }});
}

void CDemoChatScript::AddSend(const char* caption, const char* text, const char* shot) {
  const CString name = caption, message = text;
  const CString picture = shot ? shot : "";
  m_arrPhases.push_back({"发送：" + message,
                         [name, message] {
                           HWND form = FindConversation(name);
                           HWND host = form ? ::GetDlgItem(form, kEditorHost) : nullptr;
                           HWND editor = host ? ::GetWindow(host, GW_CHILD) : nullptr;
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
                         }});
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
  if (IsDone()) return true;
  Phase& phase = m_arrPhases[m_nPhase];
  if (m_nPhaseTicks < 0) {
    m_arrLog.push_back(phase.what);
    if (phase.act) phase.act();
    m_nPhaseTicks = 0;
  }
  if (phase.done()) {
    if (phase.check) phase.check();
  } else if (++m_nPhaseTicks < kWaitTicks) {
    return false;
  } else {
    Fail(phase.what + "：超时");
    m_nPhase = m_arrPhases.size();  // what follows depends on this step
    return true;
  }
  ++m_nPhase;
  m_nPhaseTicks = -1;
  return IsDone();
}

void CDemoChatScript::Fail(const CString& what) {
  m_arrFailures.push_back(what);
  m_arrLog.push_back("失败：" + what);
}

CString CDemoChatScript::Report() const {
  CString text;
  for (const CString& line : m_arrLog) text += line + "\r\n";
  text += Passed() ? "结果：通过\r\n" : "结果：未通过\r\n";
  return text;
}
