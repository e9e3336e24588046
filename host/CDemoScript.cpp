#include "CDemoScript.h"

#include <algorithm>

#include <commctrl.h>
#include <richedit.h>
#include <richole.h>

#include "CDemoRemoteUser.h"
#include "CodePage.h"
#include "DemoWindows.h"
#include "OrbSkin.h"
#include "WindowShot.h"

namespace {

// Control ids of the chat panel.
constexpr int kTabIds[] = {22000, 22001, 22081};
constexpr int kTreeIds[] = {22007, 22008, 22082};
const char* const kTabNames[] = {"联系人", "讨论组", "群社区"};
const char* const kShotNames[] = {"demo-objects.png", "demo-groups.png", "demo-communities.png"};

// A picture with fewer colours than this shows an empty or unpainted window.
constexpr int kPaintedColours = 8;

bool IsVisible(HWND window) { return (::GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0; }

int CountNodes(HWND tree) { return static_cast<int>(::SendMessageA(tree, TVM_GETCOUNT, 0, 0)); }

HTREEITEM NextNode(HWND tree, HTREEITEM item, UINT how) {
  return reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}

bool HasIcon(HWND tree, HTREEITEM item) {
  char icon[64] = {};
  return dsGetDrawItemValue(tree, item, 0, "treeitemicon", icon, sizeof icon) > 0;
}

// Nodes of the tree (two levels) without an icon value.
int NodesWithoutIcon(HWND tree) {
  int missing = 0;
  for (HTREEITEM top = NextNode(tree, nullptr, TVGN_ROOT); top; top = NextNode(tree, top, TVGN_NEXT)) {
    if (!HasIcon(tree, top)) ++missing;
    for (HTREEITEM child = NextNode(tree, top, TVGN_CHILD); child; child = NextNode(tree, child, TVGN_NEXT))
      if (!HasIcon(tree, child)) ++missing;
  }
  return missing;
}

}  // namespace

CDemoScript::CDemoScript(HWND frame, HWND panel, const CString& shotsDir, const CString& dbPath,
                         CDemoRemoteUser* remote)
    : m_hFrame(frame), m_hPanel(panel), m_strShotsDir(shotsDir), m_strDBPath(dbPath), m_pRemote(remote) {
  if (!m_strShotsDir.IsEmpty() && m_strShotsDir.Right(1) != "\\") m_strShotsDir += "\\";
  if (m_pRemote) AddConversationPhases();
}

CDemoScript::~CDemoScript() = default;

int CDemoScript::TabId(int tab) { return kTabIds[tab]; }
int CDemoScript::TreeId(int tab) { return kTreeIds[tab]; }

// Each step checks and pictures what the previous step's click showed, after
// the frame has had time to paint it.
bool CDemoScript::Step() {
  if (m_nStep >= kSteps) {
    RunPhase();
    return IsDone();
  }
  switch (m_nStep) {
    case 0:
      OpenAllNodes();
      ClickTab(1);
      break;
    case 1:
      CheckTab(1);
      SaveShot(kShotNames[1]);
      ClickTab(2);
      break;
    case 2:
      CheckTab(2);
      SaveShot(kShotNames[2]);
      ClickTab(0);
      break;
    case 3:
      CheckTab(0);
      SaveShot(kShotNames[0]);
      if (m_strDBPath.IsEmpty()) ++m_nStep;  // nothing to edit
      break;
    case 4:
      if (!m_pEdits)
        m_pEdits = std::make_unique<CDemoEditScript>(
            ::GetDlgItem(m_hPanel, kTreeIds[0]), m_strDBPath,
            [this](const CString& line, bool failed) {
              if (failed)
                Fail(line);
              else
                m_arrLog.push_back(line);
            },
            [this](const char* name) { SaveShot(name); });
      if (!m_pEdits->Step()) return false;
      m_pEdits.reset();
      break;
    default:
      return true;
  }
  ++m_nStep;
  return IsDone();
}

void CDemoScript::OpenAllNodes() {
  for (int id : kTreeIds) {
    HWND tree = ::GetDlgItem(m_hPanel, id);
    for (HTREEITEM top = NextNode(tree, nullptr, TVGN_ROOT); top; top = NextNode(tree, top, TVGN_NEXT))
      ::SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(top));
  }
}

void CDemoScript::ClickTab(int tab) {
  HWND button = ::GetDlgItem(m_hPanel, kTabIds[tab]);
  if (!button) {
    Fail(CString("没有标签按钮 ") + kTabNames[tab]);
    return;
  }
  ::SendMessageA(button, BM_CLICK, 0, 0);
  ::RedrawWindow(m_hFrame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  m_arrLog.push_back(CString("点击标签 ") + kTabNames[tab]);
}

void CDemoScript::CheckTab(int tab) {
  CString what;
  for (int i = 0; i < 3; ++i) {
    HWND button = ::GetDlgItem(m_hPanel, kTabIds[i]);
    HWND tree = ::GetDlgItem(m_hPanel, kTreeIds[i]);
    const bool checked = ::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (checked != (i == tab)) {
      what.Format("标签 %s 的按钮%s选中", kTabNames[i], i == tab ? "未被" : "不应");
      Fail(what);
    }
    if (IsVisible(tree) != (i == tab)) {
      what.Format("标签 %s 的树%s显示", kTabNames[i], i == tab ? "没有" : "不应");
      Fail(what);
    }
  }
  HWND tree = ::GetDlgItem(m_hPanel, kTreeIds[tab]);
  const int nodes = CountNodes(tree);
  const int withoutIcon = NodesWithoutIcon(tree);
  if (nodes == 0) Fail(CString("标签 ") + kTabNames[tab] + " 的树是空的");
  if (withoutIcon > 0) {
    what.Format("标签 %s 的树有 %d 个节点没有图标", kTabNames[tab], withoutIcon);
    Fail(what);
  }
  what.Format("标签 %s：%d 个节点", kTabNames[tab], nodes);
  m_arrLog.push_back(what);
}

void CDemoScript::SaveShot(const char* name, HWND window) {
  const CString path = m_strShotsDir + name;
  const WindowShotResult shot = SaveWindowShot(window ? window : m_hFrame, path);
  CString what;
  if (!shot.saved) {
    what.Format("截图 %s 失败：%s", name, shot.error.GetString());
    Fail(what);
    return;
  }
  if (shot.colours < kPaintedColours) {
    what.Format("截图 %s 几乎是空白（%d 种颜色）", name, shot.colours);
    Fail(what);
  }
  m_arrShots.push_back(path);
  what.Format("截图 %s（%d x %d）", path.GetString(), shot.width, shot.height);
  m_arrLog.push_back(what);
}


namespace {

using namespace DemoWindows;
constexpr int kBannerId = 22011;    // a conversation's banner
constexpr int kWaitTicks = 40;      // 10 s at the script's 250 ms
// The formatting toolbar and the emoticon picker of a conversation window.
constexpr int kFontName = 22037;
constexpr int kFontSize = 22038;
constexpr int kForeColor = 22040;
constexpr int kFaceButton = 22033;
constexpr int kRedEntry = 13;        // of the text colour list
constexpr int kFaceSize = 24;        // the demo's faces (faces/make_faces.py)
constexpr int kFaceGap = 2;          // the picker's gap and its skinned client top
constexpr int kFaceTop = 4;
constexpr int kChosenFace = 7;       // the eighth face: 爱心眼
constexpr int kPasteCommand = 32812; // the editor's context menu: paste

// Picks entry index of a toolbar list as the user does (the form hears of it).
void ChooseEntry(HWND form, int id, int index) {
  HWND list = ::GetDlgItem(form, id);
  ::SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  ::SendMessageA(form, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

}  // namespace

HWND CDemoScript::FindConversation(const char* caption) { return FindDialog(caption); }

CString CDemoScript::ViewText(HWND form) { return DemoWindows::ViewText(form); }

void CDemoScript::CheckView(HWND form, const char* expected, const char* shot) {
  CString what;
  what.Format("对话窗口显示：%s", expected);
  m_arrLog.push_back(what);
  ::SetForegroundWindow(form);
  ::BringWindowToTop(form);
  ::RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  SaveShot(shot, form);
}


// The conversations: 李四 opened from the tree; a first message of 周八 (on
// another machine) opening a new window minimised, which flashes until it is
// restored; a community message opening the community's window with its
// name and description.
void CDemoScript::AddConversationPhases() {
  const CString personal = "你好，张三！我是周八，明天一起吃午饭吗？";
  const CString community = "本周六上午九点在奥林匹克公园集合。";
  m_arrPhases.push_back({"从联系人树打开与李四的对话",
                         [this] {
                           HWND tree = ::GetDlgItem(m_hPanel, kObjectTree);
                           HTREEITEM found = FindContactNode(tree, "小李");
                           ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(found));
                           ::SendMessageA(tree, WM_COMMAND, kSendInstantMessage, 0);
                         },
                         [] {
                           HWND form = FindConversation("小李");
                           return form && ::IsWindowVisible(form) && !::IsIconic(form);
                         },
                         [this] { m_arrLog.push_back("与小李的对话窗口已打开"); },
                         kWaitTicks});
  // The window applies for a session a second after it opened; the server's
  // answer shows in its view.
  m_arrPhases.push_back({"等待会话申请的应答", nullptr,
                         [] { return ViewText(FindConversation("小李")).Find("申请会话应答") >= 0; }, nullptr,
                         kWaitTicks});
  const CString sent = "李四你好，下午三点开会，别忘了带上设计稿。";
  m_arrPhases.push_back({"给李四写一条消息并发送",
                         [sent] {
                           HWND form = FindConversation("小李");
                           HWND host = ::GetDlgItem(form, kEditorHost);
                           HWND editor = host ? ::GetWindow(host, GW_CHILD) : nullptr;
                           const std::wstring text = CodePage::AnsiToWide(sent);
                           ::SendMessageW(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
                           ::SendMessageA(::GetDlgItem(form, kSendButton), BM_CLICK, 0, 0);
                         },
                         [sent] {
                           const CString view = ViewText(FindConversation("小李"));
                           const int mine = view.Find(sent);
                           return mine >= 0 && view.Find(sent, mine + sent.GetLength()) >= 0;
                         },
                         [this, sent] { CheckView(FindConversation("小李"), sent + "（李四已回复）", "demo-chat-peer.png"); },
                         kWaitTicks});
  AddFormattingPhases();
  AddClipboardPicturePhases();
  m_arrPhases.push_back({"周八（另一台机器）发来第一条消息",
                         [this, personal] {
                           if (!m_pRemote->SendPersonal("c1001,c1006", personal)) Fail("周八的消息没有发出");
                         },
                         [] { return FindConversation("周八") != nullptr; },
                         [this] {
                           HWND form = FindConversation("周八");
                           if (!::IsIconic(form)) Fail("新消息的对话窗口没有最小化");
                           m_arrLog.push_back("新对话窗口最小化并闪烁，等待用户打开");
                           ::ShowWindow(form, SW_RESTORE);
                         },
                         kWaitTicks});
  m_arrPhases.push_back({"打开周八的对话窗口",
                         nullptr,
                         [personal] { return ViewText(FindConversation("周八")).Find(personal) >= 0; },
                         [this, personal] { CheckView(FindConversation("周八"), personal, "demo-chat-new.png"); },
                         kWaitTicks});
  m_arrPhases.push_back({"周八在群社区“北京同城”发言",
                         [this, community] {
                           if (!m_pRemote->SendToCommunity("13", community)) Fail("群社区消息没有发出");
                         },
                         [] { return FindConversation("北京同城") != nullptr; },
                         [this] {
                           HWND form = FindConversation("北京同城");
                           char banner[128] = {};
                           ::GetDlgItemTextA(form, kBannerId, banner, sizeof banner);
                           if (CString(banner) != "周末活动与生活信息") Fail(CString("群社区窗口的说明不对：") + banner);
                           ::ShowWindow(form, SW_RESTORE);
                         },
                         kWaitTicks});
  m_arrPhases.push_back({"打开群社区的对话窗口",
                         nullptr,
                         [community] { return ViewText(FindConversation("北京同城")).Find(community) >= 0; },
                         [this, community] { CheckView(FindConversation("北京同城"), community, "demo-chat-community.png"); },
                         kWaitTicks});
  AddGroupAndHistoryPhases();
}

// The toolbar and the picker in the conversation with 李四: a text typed and
// selected, then font, size and colour chosen (applied to the selection at
// once); the picker opened from its button, a face hovered and chosen; the
// message with its face sent and echoed.
void CDemoScript::AddFormattingPhases() {
  const CString text = "这条消息换了字体、字号和颜色，还带一个表情：";
  m_arrPhases.push_back({"选择字体、字号和颜色，打开表情窗口",
                         [text] {
                           HWND form = FindConversation("小李");
                           HWND editor = HostedControl(form, kEditorHost);
                           const std::wstring wide = CodePage::AnsiToWide(text);
                           ::SendMessageW(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
                           ::SendMessageA(editor, EM_SETSEL, 0, -1);
                           const LRESULT font = ::SendMessageA(::GetDlgItem(form, kFontName), CB_FINDSTRINGEXACT,
                                                               static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("宋体"));
                           if (font >= 0) ChooseEntry(form, kFontName, static_cast<int>(font));
                           ChooseEntry(form, kFontSize, 5);  // "6"
                           ChooseEntry(form, kForeColor, kRedEntry);
                           ::SendMessageA(editor, EM_SETSEL, static_cast<WPARAM>(-1), -1);
                           // The picker is modal: it runs from the frame's loop, and the
                           // script's timer goes on inside it.
                           ::PostMessageA(form, WM_COMMAND, MAKEWPARAM(kFaceButton, BN_CLICKED),
                                          reinterpret_cast<LPARAM>(::GetDlgItem(form, kFaceButton)));
                         },
                         [] { return FindConversation("表情") != nullptr; },
                         [this] {
                           HWND picker = FindConversation("表情");
                           const int col = kChosenFace;
                           const int x = col * kFaceSize + kFaceGap * (col + 1) + kFaceSize / 2;
                           const int y = kFaceTop + kFaceGap + kFaceSize / 2;
                           ::RedrawWindow(picker, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ERASENOW);
                           ::SendMessageA(picker, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
                           SaveShot("demo-face-picker.png", picker);
                           ::SendMessageA(picker, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
                         },
                         kWaitTicks});
  m_arrPhases.push_back(SendPicturePhase("表情插入编辑区，发送", nullptr, "demo-face-editor.png"));
  m_arrPhases.push_back(AnsweredPhase("带格式和表情的消息显示在对话中", text, 1, "（带表情，李四已回复）", "demo-chat-face.png"));
}

// act runs; once the editor of the conversation with 李四 holds one picture,
// the window is pictured and the message sent.
CDemoScript::Phase CDemoScript::SendPicturePhase(const CString& what, std::function<void()> act, const char* shot) {
  return {what, std::move(act),
          [] { return PictureCount(HostedControl(FindConversation("小李"), kEditorHost)) == 1; },
          [this, shot] {
            HWND form = FindConversation("小李");
            SaveShot(shot, form);
            ::SendMessageA(::GetDlgItem(form, kSendButton), BM_CLICK, 0, 0);
          },
          kWaitTicks};
}

// text shows twice in the view of the conversation with 李四 (sent and
// answered), with at least pictures pictures; then the window is pictured.
CDemoScript::Phase CDemoScript::AnsweredPhase(const CString& what, const CString& text, int pictures, const CString& note,
                                              const char* shot) {
  return {what, nullptr,
          [text, pictures] {
            HWND form = FindConversation("小李");
            const CString view = ViewText(form);
            const int mine = view.Find(text);
            return mine >= 0 && view.Find(text, mine + text.GetLength()) >= 0 &&
                   PictureCount(HostedControl(form, kViewHost)) >= pictures;
          },
          [this, text, note, shot] { CheckView(FindConversation("小李"), text + note, shot); },
          kWaitTicks};
}

namespace {

// Puts a picture of the top left corner of window, as the screen shows it,
// on the clipboard: what a screenshot tool leaves there. Small enough to show
// whole in a conversation's view.
bool CopyWindowPicture(HWND window) {
  RECT rect{};
  if (!::GetWindowRect(window, &rect)) return false;
  const int width = std::min<int>(rect.right - rect.left, 240);
  const int height = std::min<int>(rect.bottom - rect.top, 150);
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  ::SelectObject(memory, old);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  bool given = false;
  if (::OpenClipboard(window)) {
    ::EmptyClipboard();
    given = ::SetClipboardData(CF_BITMAP, bitmap) != nullptr;  // the clipboard owns it now
    ::CloseClipboard();
  }
  if (!given) ::DeleteObject(bitmap);
  return given;
}

}  // namespace

// A picture of the chat panel copied to the clipboard, pasted into the
// editor after a line of text through the editor's menu command, sent, and
// shown in the conversation.
void CDemoScript::AddClipboardPicturePhases() {
  const CString text = "这是联系人面板的截图：";
  m_arrPhases.push_back(SendPicturePhase("把一张截图放到剪贴板，粘贴到编辑区",
                                        [this, text] {
                                          HWND form = FindConversation("小李");
                                          HWND editor = HostedControl(form, kEditorHost);
                                          const std::wstring wide = CodePage::AnsiToWide(text);
                                          ::SendMessageW(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
                                          ::SendMessageA(editor, EM_SETSEL, static_cast<WPARAM>(-1), -1);
                                          // The panel on top while it is copied, then the conversation again.
                                          ::BringWindowToTop(m_hFrame);
                                          ::RedrawWindow(m_hFrame, nullptr, nullptr,
                                                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                                          if (!CopyWindowPicture(m_hPanel)) Fail("截图没有放到剪贴板");
                                          ::BringWindowToTop(form);
                                          ::RedrawWindow(form, nullptr, nullptr,
                                                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN |
                                                             RDW_UPDATENOW);
                                          ::SendMessageA(form, WM_COMMAND, kPasteCommand, 0);
                                        },
                                        "demo-picture-editor.png"));
  m_arrPhases.push_back(AnsweredPhase("带截图的消息显示在对话中", text, 3, "（带截图，李四已回复）", "demo-chat-picture.png"));
}
