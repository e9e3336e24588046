// The scripted run's steps on the discussion group tree and the history
// viewer: a group of 李四 and 王五 is made with the group management dialog,
// renamed, sent a message; then the message history is opened from the tree,
// a word is searched, and the viewer is closed. Every dialog is the real one
// on screen, driven as a user would drive it. Dialogs are opened with posted
// commands, so their modal loops run the script's timer and the script goes
// on inside them.
#include "CDemoScript.h"

#include <commctrl.h>

#include <memory>
#include <vector>

#include "CodePage.h"

namespace {

constexpr int kGroupTree = 22008;
constexpr UINT kNewGroup = 32800;
constexpr UINT kRenameGroup = 32836;
constexpr UINT kSendGroupMessage = 32797;
constexpr UINT kViewHistory = 32840;
constexpr UINT kDeleteGroup = 32826;
// The group management dialog.
constexpr int kGroupName = 22063;
constexpr int kGroupTitle = 22064;
constexpr int kContactList = 22053;
constexpr int kMemberList = 22065;
constexpr int kMemberAdd = 22066;
// The rename dialog.
constexpr int kRenameText = 22059;
// A conversation window.
constexpr int kEditorHost = 22030;
constexpr int kSendButton = 22042;
// The history viewer (OrbMsgBrowser.dll).
constexpr int kHistorySearch = 1002;
constexpr int kHistoryStatus = 1007;
constexpr int kWaitTicks = 40;  // 10 s at the script's 250 ms

constexpr char kGroupName1[] = "演示讨论组";
constexpr char kGroupName2[] = "演示讨论组（改名）";
constexpr char kGroupMessage[] = "各位好，演示讨论组的第一条消息：设计稿已经更新。";
constexpr char kSearchWord[] = "设计稿";

CString ItemText(HWND tree, HTREEITEM item) {
  char text[128] = {};
  TVITEMA data{};
  data.mask = TVIF_TEXT;
  data.hItem = item;
  data.pszText = text;
  data.cchTextMax = sizeof text;
  ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
  return text;
}

// The nodes (two levels) with this text, in tree order.
std::vector<HTREEITEM> FindNodes(HWND tree, const char* text) {
  auto next = [tree](HTREEITEM item, UINT how) {
    return reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
  };
  std::vector<HTREEITEM> found;
  for (HTREEITEM top = next(nullptr, TVGN_ROOT); top; top = next(top, TVGN_NEXT)) {
    if (ItemText(tree, top) == text) found.push_back(top);
    for (HTREEITEM child = next(top, TVGN_CHILD); child; child = next(child, TVGN_NEXT))
      if (ItemText(tree, child) == text) found.push_back(child);
  }
  return found;
}

HTREEITEM FindNode(HWND tree, const char* text) {
  const std::vector<HTREEITEM> found = FindNodes(tree, text);
  return found.empty() ? nullptr : found.back();  // the newest of a name
}

// Selects the contact row of id in the dialog's contact list and moves it to
// the members with ">>".
bool MoveContact(HWND dialog, const char* id) {
  HWND list = ::GetDlgItem(dialog, kContactList);
  LVFINDINFOA find{};
  find.flags = LVFI_STRING;
  find.psz = id;
  const int row = static_cast<int>(::SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
  if (row < 0) return false;
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
  ::SendMessageA(::GetDlgItem(dialog, kMemberAdd), BM_CLICK, 0, 0);
  return true;
}

void SetText(HWND dialog, int id, const char* text) {
  const std::wstring wide = CodePage::AnsiToWide(text);
  ::SetDlgItemTextW(dialog, id, wide.c_str());
}

void Repaint(HWND window) {
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
}

CString DialogItemText(HWND dialog, int id) {
  char text[512] = {};
  ::GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

}  // namespace

void CDemoScript::AddGroupAndHistoryPhases() {
  HWND panel = m_hPanel;
  auto tree = [panel] { return ::GetDlgItem(panel, kGroupTree); };
  auto post = [tree](UINT command) { ::PostMessageA(tree(), WM_COMMAND, command, 0); };
  // How many groups of the renamed name stay once the demo's is deleted.
  auto left = std::make_shared<int>(0);

  m_arrPhases.push_back({"在讨论组树上新建讨论组",
                         [this, post] {
                           ClickTab(1);
                           post(kNewGroup);
                         },
                         [] { return FindConversation("新建群组") != nullptr; },
                         [this] {
                           HWND dialog = FindConversation("新建群组");
                           SetText(dialog, kGroupName, kGroupName1);
                           SetText(dialog, kGroupTitle, kGroupName1);
                           if (!MoveContact(dialog, "c1002") || !MoveContact(dialog, "c1003"))
                             Fail("联系人列表里没有李四或王五");
                           const int members = static_cast<int>(::SendMessageA(::GetDlgItem(dialog, kMemberList), LVM_GETITEMCOUNT, 0, 0));
                           if (members != 2) Fail("讨论组成员不是两个人");
                           Repaint(dialog);
                           SaveShot("demo-group-new.png", dialog);
                           ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                         },
                         kWaitTicks});
  m_arrPhases.push_back({"确认新讨论组的内容", nullptr,
                         [] { return FindConversation("提示") != nullptr; },
                         [this] {
                           HWND box = FindConversation("提示");
                           m_arrLog.push_back("确认：" + DialogItemText(box, 0xFFFF));
                           ::PostMessageA(box, WM_COMMAND, IDOK, 0);
                         },
                         kWaitTicks});
  m_arrPhases.push_back({"新讨论组出现在树上", nullptr,
                         [tree] { return !FindConversation("新建群组") && FindNode(tree(), kGroupName1); },
                         [this, tree, post] {
                           ::SendMessageA(tree(), TVM_SELECTITEM, TVGN_CARET,
                                          reinterpret_cast<LPARAM>(FindNode(tree(), kGroupName1)));
                           SaveShot("demo-group-added.png");
                           post(kRenameGroup);
                         },
                         kWaitTicks});
  m_arrPhases.push_back({"修改讨论组名称", nullptr,
                         [] { return FindConversation("修改群组名称") != nullptr; },
                         [this] {
                           HWND dialog = FindConversation("修改群组名称");
                           SetText(dialog, kRenameText, kGroupName2);
                           Repaint(dialog);
                           SaveShot("demo-group-rename.png", dialog);
                           ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                         },
                         kWaitTicks});
  m_arrPhases.push_back({"讨论组改名后打开它的对话", nullptr,
                         [tree] { return !FindConversation("修改群组名称") && FindNode(tree(), kGroupName2); },
                         [this, tree, post] {
                           if (FindNode(tree(), kGroupName1)) Fail("旧的讨论组名称还在树上");
                           ::SendMessageA(tree(), TVM_SELECTITEM, TVGN_CARET,
                                          reinterpret_cast<LPARAM>(FindNode(tree(), kGroupName2)));
                           SaveShot("demo-group-renamed.png");
                           post(kSendGroupMessage);
                         },
                         kWaitTicks});
  // The conversation's caption is the group's title; it applies for a session
  // a second after it opens, then the message goes.
  m_arrPhases.push_back({"等待讨论组对话的会话应答", nullptr,
                         [] { return ViewText(FindConversation(kGroupName1)).Find("申请会话应答") >= 0; }, nullptr,
                         kWaitTicks});
  m_arrPhases.push_back({"给讨论组发一条消息",
                         [] {
                           HWND form = FindConversation(kGroupName1);
                           HWND host = ::GetDlgItem(form, kEditorHost);
                           HWND editor = host ? ::GetWindow(host, GW_CHILD) : nullptr;
                           const std::wstring text = CodePage::AnsiToWide(kGroupMessage);
                           ::SendMessageW(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
                           ::SendMessageA(::GetDlgItem(form, kSendButton), BM_CLICK, 0, 0);
                         },
                         [] { return ViewText(FindConversation(kGroupName1)).Find(kGroupMessage) >= 0; },
                         [this] { CheckView(FindConversation(kGroupName1), kGroupMessage, "demo-group-chat.png"); },
                         kWaitTicks});
  m_arrPhases.push_back({"从讨论组树打开消息记录",
                         [post] { post(kViewHistory); },
                         [] { return FindConversation("消息记录") != nullptr; },
                         [this] {
                           HWND viewer = FindConversation("消息记录");
                           ::MoveWindow(viewer, 10, 10, 1000, 620, TRUE);
                           ::RedrawWindow(viewer, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                           const CString status = DialogItemText(viewer, kHistoryStatus);
                           m_arrLog.push_back("消息记录：" + status);
                           if (status.Find(kGroupName1) < 0 && status.Find("李四") < 0)
                             Fail("消息记录没有先显示最近的讨论组对话");
                           SaveShot("demo-history.png", viewer);
                           SetText(viewer, kHistorySearch, kSearchWord);
                           ::PostMessageA(viewer, WM_COMMAND, IDOK, 0);  // the search button
                         },
                         kWaitTicks});
  m_arrPhases.push_back({"在消息记录中搜索“设计稿”", nullptr,
                         [] { return DialogItemText(FindConversation("消息记录"), kHistoryStatus).Find("找到") >= 0; },
                         [this] {
                           HWND viewer = FindConversation("消息记录");
                           const CString status = DialogItemText(viewer, kHistoryStatus);
                           m_arrLog.push_back("搜索：" + status);
                           if (status.Find("没有找到") >= 0) Fail("消息记录里没有搜到“设计稿”");
                           ::RedrawWindow(viewer, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                           SaveShot("demo-history-search.png", viewer);
                           ::PostMessageA(viewer, WM_COMMAND, IDCANCEL, 0);
                         },
                         kWaitTicks});
  m_arrPhases.push_back({"关闭消息记录", nullptr, [] { return FindConversation("消息记录") == nullptr; },
                         [this, tree, post, left] {
                           m_arrLog.push_back("消息记录已关闭");
                           *left = static_cast<int>(FindNodes(tree(), kGroupName2).size()) - 1;
                           // The demo's group goes again, so every run starts from the same tree.
                           ::SendMessageA(tree(), TVM_SELECTITEM, TVGN_CARET,
                                          reinterpret_cast<LPARAM>(FindNode(tree(), kGroupName2)));
                           post(kDeleteGroup);
                         },
                         kWaitTicks});
  m_arrPhases.push_back({"删除演示讨论组", nullptr, [] { return FindConversation("提示") != nullptr; },
                         [] { ::PostMessageA(FindConversation("提示"), WM_COMMAND, IDYES, 0); }, kWaitTicks});
  m_arrPhases.push_back({"演示讨论组已从树上删除", nullptr,
                         [tree, left] {
                           return !FindConversation("提示") &&
                                  static_cast<int>(FindNodes(tree(), kGroupName2).size()) == *left;
                         },
                         [this] { m_arrLog.push_back("演示讨论组已删除"); }, kWaitTicks});
}
