// Message maps: a message, a command, a control notification and a WM_NOTIFY
// each reach their one handler; derived maps override and chain to their base;
// notifications are reflected to control objects; Default() runs the window's
// own processing; the object and window lifetimes stay apart.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "CButton.h"
#include "CEdit.h"
#include "CTreeCtrl.h"
#include "CWnd.h"
#include "MessageBoxRecorder.h"
#include "MessagePump.h"

namespace {

constexpr UINT kPing = WM_APP + 1;
constexpr UINT kThrow = WM_APP + 2;
constexpr UINT kMenuA = 40001;
constexpr UINT kMenuB = 40002;
constexpr UINT kEditId = 101;
constexpr UINT kButtonId = 102;
constexpr UINT kTreeId = 103;

class BaseProbe : public CWnd {
 public:
  std::vector<std::string> log;
  int created = 0;
  int ncDestroyed = 0;

 protected:
  int OnCreate(LPCREATESTRUCTA cs) {
    ++created;
    return CWnd::OnCreate(cs);
  }
  void OnTimer(UINT_PTR id) { log.push_back("base timer " + std::to_string(id)); }
  LRESULT OnPing(WPARAM wParam, LPARAM) {
    log.push_back("base ping");
    return 100 + static_cast<LRESULT>(wParam);
  }
  void OnMenuA() { log.push_back("base menu A"); }
  void PostNcDestroy() override { ++ncDestroyed; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseProbe, CWnd)
  ON_WM_CREATE()
  ON_WM_TIMER()
  ON_MESSAGE(kPing, &BaseProbe::OnPing)
  ON_COMMAND(kMenuA, &BaseProbe::OnMenuA)
END_MESSAGE_MAP()

class DerivedProbe : public BaseProbe {
 public:
  CEdit edit;
  CButton button;
  CTreeCtrl tree;
  int editChanges = 0;
  int clicks = 0;
  int treeDblClks = 0;
  CSize lastSize;

  bool Build() {
    if (!CreateEx(0, nullptr, "probe", WS_OVERLAPPEDWINDOW, CRect(10, 10, 310, 210), nullptr, 0)) return false;
    return edit.Create("EDIT", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 20), this, kEditId) &&
           button.Create("BUTTON", "go", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 30, 60, 50), this, kButtonId) &&
           tree.Create(WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE, CRect(0, 60, 100, 160), this, kTreeId);
  }

 protected:
  void OnTimer(UINT_PTR id) {
    log.push_back("derived timer " + std::to_string(id));
    if (id == 2) BaseProbe::OnTimer(id);
  }
  void OnSize(UINT type, int cx, int cy) {
    lastSize = CSize(cx, cy);
    CWnd::OnSize(type, cx, cy);
  }
  void OnMenuB() { log.push_back("derived menu B"); }
  void OnEditChange() { ++editChanges; }
  void OnButton() { ++clicks; }
  void OnTreeDblClk(NMHDR* header, LRESULT* result) {
    ++treeDblClks;
    EXPECT_EQ(header->idFrom, kTreeId);
    *result = 1;
  }
  LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("probe failure"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedProbe, BaseProbe)
  ON_WM_TIMER()
  ON_WM_SIZE()
  ON_COMMAND(kMenuB, &DerivedProbe::OnMenuB)
  ON_EN_CHANGE(kEditId, &DerivedProbe::OnEditChange)
  ON_BN_CLICKED(kButtonId, &DerivedProbe::OnButton)
  ON_NOTIFY(NM_DBLCLK, kTreeId, &DerivedProbe::OnTreeDblClk)
  ON_MESSAGE(kThrow, &DerivedProbe::OnThrow)
END_MESSAGE_MAP()

LRESULT Notify(HWND parent, HWND from, UINT id, UINT code) {
  NMHDR header{from, id, code};
  return SendMessageA(parent, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
}

class MessageMapTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(probe.Build()); }
  DerivedProbe probe;
};

TEST_F(MessageMapTest, ObjectIsBoundBeforeCreateReachesTheMap) {
  EXPECT_EQ(probe.created, 1);
  EXPECT_EQ(CWnd::FromHandlePermanent(probe.m_hWnd), &probe);
  EXPECT_TRUE(probe.OwnsWindow());
}

TEST_F(MessageMapTest, MessageHandledInBaseMapThroughDerivedObject) {
  EXPECT_EQ(probe.SendMessage(kPing, 5), 105);
  EXPECT_EQ(probe.log, (std::vector<std::string>{"base ping"}));
}

TEST_F(MessageMapTest, DerivedEntryOverridesBaseAndCanChainToIt) {
  probe.SendMessage(WM_TIMER, 1);
  probe.SendMessage(WM_TIMER, 2);
  EXPECT_EQ(probe.log, (std::vector<std::string>{"derived timer 1", "derived timer 2", "base timer 2"}));
}

TEST_F(MessageMapTest, RealTimerReachesHandlerThroughTheLoop) {
  ASSERT_NE(probe.SetTimer(7, 10), 0u);
  EXPECT_TRUE(OrbTesting::PumpUntil([&] { return !probe.log.empty(); }, 3000));
  probe.KillTimer(7);
  ASSERT_FALSE(probe.log.empty());
  EXPECT_EQ(probe.log.front(), "derived timer 7");
}

TEST_F(MessageMapTest, SizeHandlerGetsClientSize) {
  probe.MoveWindow(0, 0, 400, 300);
  const CRect client = probe.GetClientRect();
  EXPECT_EQ(probe.lastSize, CSize(client.Width(), client.Height()));
  EXPECT_GT(client.Width(), 0);
}

TEST_F(MessageMapTest, CommandsFromMenusAndAcceleratorsByIdAndLevel) {
  struct Row {
    UINT id;
    WORD code;  // 0 menu, 1 accelerator
    const char* expected;
  };
  const Row rows[] = {{kMenuA, 0, "base menu A"}, {kMenuB, 0, "derived menu B"}, {kMenuB, 1, "derived menu B"}};
  for (const Row& row : rows) {
    probe.log.clear();
    probe.SendMessage(WM_COMMAND, MAKEWPARAM(row.id, row.code), 0);
    EXPECT_EQ(probe.log, (std::vector<std::string>{row.expected})) << row.id << "/" << row.code;
  }
  probe.log.clear();
  probe.SendMessage(WM_COMMAND, MAKEWPARAM(40999, 0), 0);
  EXPECT_TRUE(probe.log.empty());
}

TEST_F(MessageMapTest, ControlNotificationMatchesIdAndCode) {
  probe.edit.SetWindowText("changed");  // EN_CHANGE from the real control
  EXPECT_EQ(probe.editChanges, 1);
  probe.SendMessage(WM_COMMAND, MAKEWPARAM(kEditId, EN_SETFOCUS), reinterpret_cast<LPARAM>(probe.edit.m_hWnd));
  probe.SendMessage(WM_COMMAND, MAKEWPARAM(kButtonId, EN_CHANGE), reinterpret_cast<LPARAM>(probe.button.m_hWnd));
  EXPECT_EQ(probe.editChanges, 1);
}

TEST_F(MessageMapTest, ButtonClickSendsBnClicked) {
  probe.button.Click();
  EXPECT_EQ(probe.clicks, 1);
  probe.button.EnableWindow(FALSE);
  probe.button.Click();
  EXPECT_EQ(probe.clicks, 1);
}

TEST_F(MessageMapTest, NotifyMatchesIdAndCode) {
  EXPECT_EQ(Notify(probe.m_hWnd, probe.tree.m_hWnd, kTreeId, NM_DBLCLK), 1);
  Notify(probe.m_hWnd, probe.tree.m_hWnd, kTreeId, NM_RCLICK);
  Notify(probe.m_hWnd, probe.tree.m_hWnd, kTreeId + 1, NM_DBLCLK);
  EXPECT_EQ(probe.treeDblClks, 1);
}

// A tree that handles its own double clicks, right clicks and menu commands.
class OwnTree : public CTreeCtrl {
 public:
  int reflectedDblClks = 0;
  int rightDowns = 0;
  int commands = 0;
  int leftDblClks = 0;

 protected:
  void OnDblClk(NMHDR*, LRESULT* result) {
    ++reflectedDblClks;
    *result = 0;
  }
  void OnRButtonDown(UINT, CPoint) { ++rightDowns; }
  void OnLButtonDblClk(UINT, CPoint) { ++leftDblClks; }
  void OnSend() { ++commands; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(OwnTree, CTreeCtrl)
  ON_NOTIFY_REFLECT(NM_DBLCLK, &OwnTree::OnDblClk)
  ON_WM_RBUTTONDOWN()
  ON_WM_LBUTTONDBLCLK()
  ON_COMMAND(kMenuA, &OwnTree::OnSend)
END_MESSAGE_MAP()

TEST_F(MessageMapTest, ReflectedNotificationGoesToTheControlNotTheParent) {
  HWND treeWindow = probe.tree.UnsubclassWindow();
  OwnTree own;
  ASSERT_TRUE(own.SubclassWindow(treeWindow));
  Notify(probe.m_hWnd, treeWindow, kTreeId, NM_DBLCLK);
  EXPECT_EQ(own.reflectedDblClks, 1);
  EXPECT_EQ(probe.treeDblClks, 0);
  // Other codes still reach the parent's map (none here) without the control.
  Notify(probe.m_hWnd, treeWindow, kTreeId, NM_RCLICK);
  EXPECT_EQ(own.reflectedDblClks, 1);
}

TEST_F(MessageMapTest, SubclassedTreeGetsItsMouseMessagesAndMenuCommands) {
  HWND treeWindow = probe.tree.UnsubclassWindow();
  OwnTree own;
  ASSERT_TRUE(own.SubclassWindow(treeWindow));
  own.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
  own.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  own.SendMessage(WM_COMMAND, MAKEWPARAM(kMenuA, 0), 0);
  EXPECT_EQ(own.rightDowns, 1);
  EXPECT_EQ(own.leftDblClks, 1);
  EXPECT_EQ(own.commands, 1);
  EXPECT_TRUE(probe.log.empty());  // the parent's kMenuA handler saw nothing
}

// An edit that lets only digits through to the control's own processing.
class DigitsEdit : public CEdit {
 protected:
  LRESULT OnChar(WPARAM wParam, LPARAM) {
    if (wParam >= '0' && wParam <= '9') return Default();
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DigitsEdit, CEdit)
  ON_MESSAGE(WM_CHAR, &DigitsEdit::OnChar)
END_MESSAGE_MAP()

TEST_F(MessageMapTest, DefaultRunsTheControlsOwnProcessing) {
  HWND editWindow = probe.edit.UnsubclassWindow();
  DigitsEdit digits;
  ASSERT_TRUE(digits.SubclassWindow(editWindow));
  digits.SetWindowText("");
  for (char c : std::string("a1b2"))
    digits.SendMessage(WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
  EXPECT_STREQ(digits.GetWindowText(), "12");
}

TEST_F(MessageMapTest, ExceptionInHandlerIsReportedAndDoesNotCrossTheProcedure) {
  OrbTesting::MessageBoxRecorder boxes;
  probe.SendMessage(kThrow);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_NE(boxes.Last().text.Find("probe failure"), -1);
  EXPECT_STREQ(boxes.Last().caption, "错误");
  EXPECT_EQ(probe.SendMessage(kPing, 1), 101);  // still routed afterwards
}

TEST_F(MessageMapTest, WindowDestroyedByOthersDetachesTheObject) {
  HWND handle = probe.m_hWnd;
  ::DestroyWindow(handle);
  EXPECT_EQ(probe.m_hWnd, nullptr);
  EXPECT_EQ(probe.ncDestroyed, 1);
  EXPECT_EQ(CWnd::FromHandlePermanent(handle), nullptr);
  EXPECT_EQ(probe.edit.m_hWnd, nullptr);  // its children went with it
}

TEST(WindowLifetime, ObjectDestroysTheWindowItCreated) {
  HWND handle = nullptr;
  {
    BaseProbe probe;
    ASSERT_TRUE(probe.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    handle = probe.m_hWnd;
    EXPECT_EQ(probe.ncDestroyed, 0);
  }
  EXPECT_FALSE(::IsWindow(handle));
  EXPECT_EQ(CWnd::FromHandlePermanent(handle), nullptr);
}

TEST(WindowLifetime, SubclassedWindowOutlivesItsObjectWithItsProcedureBack) {
  HWND edit = ::CreateWindowA("EDIT", "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(edit, nullptr);
  const LONG_PTR original = ::GetWindowLongPtrA(edit, GWLP_WNDPROC);
  {
    DigitsEdit digits;
    ASSERT_TRUE(digits.SubclassWindow(edit));
    EXPECT_NE(::GetWindowLongPtrA(edit, GWLP_WNDPROC), original);
    EXPECT_FALSE(digits.OwnsWindow());
    CEdit second;
    EXPECT_FALSE(second.SubclassWindow(edit));  // one object per window
  }
  EXPECT_TRUE(::IsWindow(edit));
  EXPECT_EQ(::GetWindowLongPtrA(edit, GWLP_WNDPROC), original);
  ::SendMessageA(edit, WM_CHAR, 'x', 1);  // the object is gone: the control types freely again
  char text[8] = {};
  ::GetWindowTextA(edit, text, sizeof text);
  EXPECT_STREQ(text, "x");
  ::DestroyWindow(edit);
}

TEST(WindowLifetime, FromHandleWrapsUnknownWindowsWithoutBindingThem) {
  HWND plain = ::CreateWindowA("STATIC", "静态", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(plain), nullptr);
  CWnd* wrapper = CWnd::FromHandle(plain);
  ASSERT_NE(wrapper, nullptr);
  EXPECT_EQ(wrapper->m_hWnd, plain);
  EXPECT_EQ(CWnd::FromHandle(plain), wrapper);
  EXPECT_STREQ(wrapper->GetWindowText(), "静态");
  EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
  ::DestroyWindow(plain);
}

// A parent that consumes Escape before its children see it.
class KeyEater : public BaseProbe {
 public:
  int seen = 0;
  BOOL PreTranslateMessage(MSG* msg) override {
    if (msg->message != WM_KEYDOWN) return FALSE;
    ++seen;
    return msg->wParam == VK_ESCAPE;
  }
};

TEST(WindowLifetime, PreTranslateWalksFromTheTargetUpToItsTopLevelWindow) {
  KeyEater parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0));
  CEdit child;
  ASSERT_TRUE(child.Create("EDIT", "", WS_CHILD, CRect(0, 0, 50, 20), &parent, 1));
  MSG escape{child.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
  MSG letter{child.m_hWnd, WM_KEYDOWN, 'A', 0, 0, {0, 0}};
  MSG paint{child.m_hWnd, WM_PAINT, 0, 0, 0, {0, 0}};
  EXPECT_TRUE(CWnd::WalkPreTranslateTree(&escape));
  EXPECT_FALSE(CWnd::WalkPreTranslateTree(&letter));
  EXPECT_FALSE(CWnd::WalkPreTranslateTree(&paint));
  EXPECT_EQ(parent.seen, 2);
}

}  // namespace
