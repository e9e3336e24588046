#pragma once
// The entries of a message map and the macros that write a table.
//
//   // in the class:   DECLARE_MESSAGE_MAP()
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//     ON_WM_TIMER()
//     ON_WM_SIZE()
//     ON_COMMAND(IDC_SEND, &CMyDlg::OnSend)
//     ON_CBN_SELCHANGE(IDC_FONT, &CMyDlg::OnFontChanged)
//     ON_NOTIFY(NM_DBLCLK, IDC_TREE, &CMyDlg::OnTreeDblClk)
//   END_MESSAGE_MAP()
//
// ON_WM_xxx() entries call the class's handler of the fixed name and
// signature (OnTimer(UINT_PTR), OnSize(UINT, int, int), ...); a handler with
// another signature does not compile. Included by CWnd.h after CWnd.
#include <windows.h>

#include <commctrl.h>

#include <iterator>
#include <type_traits>

namespace MsgMap {

// Thunks: T is the class whose table holds the entry, Fn its handler.

template <class T, auto Fn>
LRESULT CallVoid(CWnd& self, const Call&) {
  (static_cast<T&>(self).*Fn)();
  return 0;
}

template <class T, auto Fn>
LRESULT CallNotify(CWnd& self, const Call& call) {
  LRESULT result = 0;
  (static_cast<T&>(self).*Fn)(reinterpret_cast<NMHDR*>(call.lParam), &result);
  return result;
}

template <class T, auto Fn>
LRESULT CallRaw(CWnd& self, const Call& call) {
  return (static_cast<T&>(self).*Fn)(call.wParam, call.lParam);
}

template <class T, auto Fn>
LRESULT CallCreate(CWnd& self, const Call& call) {
  return (static_cast<T&>(self).*Fn)(reinterpret_cast<LPCREATESTRUCTA>(call.lParam));
}

template <class T, auto Fn>
LRESULT CallTimer(CWnd& self, const Call& call) {
  (static_cast<T&>(self).*Fn)(static_cast<UINT_PTR>(call.wParam));
  return 0;
}

template <class T, auto Fn>
LRESULT CallSize(CWnd& self, const Call& call) {
  (static_cast<T&>(self).*Fn)(static_cast<UINT>(call.wParam), static_cast<short>(LOWORD(call.lParam)),
                              static_cast<short>(HIWORD(call.lParam)));
  return 0;
}

template <class T, auto Fn>
LRESULT CallMove(CWnd& self, const Call& call) {
  (static_cast<T&>(self).*Fn)(static_cast<short>(LOWORD(call.lParam)), static_cast<short>(HIWORD(call.lParam)));
  return 0;
}

template <class T, auto Fn>
LRESULT CallEraseBkgnd(CWnd& self, const Call& call) {
  CDC dc(reinterpret_cast<HDC>(call.wParam));
  return (static_cast<T&>(self).*Fn)(&dc);
}

template <class T, auto Fn>
LRESULT CallCtlColor(CWnd& self, const Call& call) {
  // WM_CTLCOLORMSGBOX..WM_CTLCOLORSTATIC come in the order of CTLCOLOR_MSGBOX..CTLCOLOR_STATIC.
  CDC dc(reinterpret_cast<HDC>(call.wParam));
  CWnd* control = T::FromHandle(reinterpret_cast<HWND>(call.lParam));
  HBRUSH brush = (static_cast<T&>(self).*Fn)(&dc, control, call.message - WM_CTLCOLORMSGBOX + CTLCOLOR_MSGBOX);
  return reinterpret_cast<LRESULT>(brush);
}

template <class T, auto Fn>
LRESULT CallSetCursor(CWnd& self, const Call& call) {
  CWnd* wnd = T::FromHandle(reinterpret_cast<HWND>(call.wParam));
  return (static_cast<T&>(self).*Fn)(wnd, LOWORD(call.lParam), HIWORD(call.lParam));
}

template <class T, auto Fn>
LRESULT CallMouse(CWnd& self, const Call& call) {
  (static_cast<T&>(self).*Fn)(static_cast<UINT>(call.wParam), CPoint(call.lParam));
  return 0;
}

template <class T, auto Fn>
LRESULT CallSysCommand(CWnd& self, const Call& call) {
  (static_cast<T&>(self).*Fn)(static_cast<UINT>(call.wParam), call.lParam);
  return 0;
}

template <class T, auto Fn>
LRESULT CallKey(CWnd& self, const Call& call) {
  (static_cast<T&>(self).*Fn)(static_cast<UINT>(call.wParam), LOWORD(call.lParam), HIWORD(call.lParam));
  return 0;
}

template <class T, auto Fn>
LRESULT CallShowWindow(CWnd& self, const Call& call) {
  (static_cast<T&>(self).*Fn)(static_cast<BOOL>(call.wParam), static_cast<UINT>(call.lParam));
  return 0;
}

template <class T, auto Fn>
LRESULT CallMinMax(CWnd& self, const Call& call) {
  (static_cast<T&>(self).*Fn)(reinterpret_cast<MINMAXINFO*>(call.lParam));
  return 0;
}

template <class T, auto Fn>
LRESULT CallContextMenu(CWnd& self, const Call& call) {
  (static_cast<T&>(self).*Fn)(T::FromHandle(reinterpret_cast<HWND>(call.wParam)), CPoint(call.lParam));
  return 0;
}

template <class T, auto Fn>
LRESULT CallFocus(CWnd& self, const Call& call) {
  (static_cast<T&>(self).*Fn)(T::FromHandle(reinterpret_cast<HWND>(call.wParam)));
  return 0;
}

// Entry makers.

template <class T, auto Fn>
constexpr Entry Command(UINT id) {
  static_assert(std::is_invocable_v<decltype(Fn), T&>, "a command handler takes no arguments");
  return Entry{Kind::Command, WM_COMMAND, 0, id, &CallVoid<T, Fn>};
}

template <class T, auto Fn>
constexpr Entry Control(UINT code, UINT id) {
  static_assert(std::is_invocable_v<decltype(Fn), T&>, "a control notification handler takes no arguments");
  return Entry{Kind::Command, WM_COMMAND, code, id, &CallVoid<T, Fn>};
}

template <class T, auto Fn>
constexpr Entry Notify(UINT code, UINT id) {
  static_assert(std::is_invocable_v<decltype(Fn), T&, NMHDR*, LRESULT*>,
                "a notification handler takes (NMHDR*, LRESULT*)");
  return Entry{Kind::Notify, WM_NOTIFY, code, id, &CallNotify<T, Fn>};
}

template <class T, auto Fn>
constexpr Entry ReflectNotify(UINT code) {
  static_assert(std::is_invocable_v<decltype(Fn), T&, NMHDR*, LRESULT*>,
                "a notification handler takes (NMHDR*, LRESULT*)");
  return Entry{Kind::ReflectNotify, WM_NOTIFY, code, 0, &CallNotify<T, Fn>};
}

template <class T, auto Fn>
constexpr Entry ReflectCommand(UINT code) {
  static_assert(std::is_invocable_v<decltype(Fn), T&>, "a control notification handler takes no arguments");
  return Entry{Kind::ReflectCommand, WM_COMMAND, code, 0, &CallVoid<T, Fn>};
}

template <class T, auto Fn>
constexpr Entry Raw(UINT message) {
  static_assert(std::is_invocable_r_v<LRESULT, decltype(Fn), T&, WPARAM, LPARAM>,
                "a message handler is LRESULT (WPARAM, LPARAM)");
  return Entry{Kind::Message, message, 0, 0, &CallRaw<T, Fn>};
}

template <class T, auto Fn>
constexpr Entry CtlColor() {
  return Entry{Kind::CtlColor, 0, 0, 0, &CallCtlColor<T, Fn>};
}

}  // namespace MsgMap

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                              \
  const ::MsgMap::Table* theClass::GetMessageMap() const { return GetThisMessageMap(); }   \
  const ::MsgMap::Table* theClass::GetThisMessageMap() {                                   \
    using ThisClass = theClass;                                                            \
    using TheBaseClass = baseClass;                                                        \
    static const ::MsgMap::Entry entries[] = {
#define END_MESSAGE_MAP()                                                                  \
  ::MsgMap::End()                                                                          \
  }                                                                                        \
  ;                                                                                        \
  static_assert(std::is_base_of_v<TheBaseClass, ThisClass>, "the base must be a base");   \
  static const ::MsgMap::Table table{&TheBaseClass::GetThisMessageMap, entries, std::size(entries) - 1}; \
  return &table;                                                                           \
  }

// Commands (menus, accelerators, button clicks) and control notifications.
#define ON_COMMAND(id, fn) ::MsgMap::Command<ThisClass, fn>(id),
#define ON_CONTROL(code, id, fn) ::MsgMap::Control<ThisClass, fn>(code, id),
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_BN_DOUBLECLICKED(id, fn) ON_CONTROL(BN_DOUBLECLICKED, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_CBN_DROPDOWN(id, fn) ON_CONTROL(CBN_DROPDOWN, id, fn)
#define ON_LBN_SELCHANGE(id, fn) ON_CONTROL(LBN_SELCHANGE, id, fn)
#define ON_LBN_DBLCLK(id, fn) ON_CONTROL(LBN_DBLCLK, id, fn)
#define ON_NOTIFY(code, id, fn) ::MsgMap::Notify<ThisClass, fn>(code, id),
// In a control's own map: notifications its parent reflects back to it.
#define ON_NOTIFY_REFLECT(code, fn) ::MsgMap::ReflectNotify<ThisClass, fn>(code),
#define ON_CONTROL_REFLECT(code, fn) ::MsgMap::ReflectCommand<ThisClass, fn>(code),
// Any message, handler LRESULT (WPARAM, LPARAM).
#define ON_MESSAGE(message, fn) ::MsgMap::Raw<ThisClass, fn>(message),

// Window messages with their typed handlers.
#define ORB_ON_WM(message, thunk, fn) \
  ::MsgMap::Entry{::MsgMap::Kind::Message, message, 0, 0, &::MsgMap::thunk<ThisClass, &ThisClass::fn>},
#define ON_WM_CREATE() ORB_ON_WM(WM_CREATE, CallCreate, OnCreate)
#define ON_WM_DESTROY() ORB_ON_WM(WM_DESTROY, CallVoid, OnDestroy)
#define ON_WM_CLOSE() ORB_ON_WM(WM_CLOSE, CallVoid, OnClose)
#define ON_WM_TIMER() ORB_ON_WM(WM_TIMER, CallTimer, OnTimer)
#define ON_WM_SIZE() ORB_ON_WM(WM_SIZE, CallSize, OnSize)
#define ON_WM_MOVE() ORB_ON_WM(WM_MOVE, CallMove, OnMove)
#define ON_WM_PAINT() ORB_ON_WM(WM_PAINT, CallVoid, OnPaint)
#define ON_WM_ERASEBKGND() ORB_ON_WM(WM_ERASEBKGND, CallEraseBkgnd, OnEraseBkgnd)
#define ON_WM_SETCURSOR() ORB_ON_WM(WM_SETCURSOR, CallSetCursor, OnSetCursor)
#define ON_WM_MOUSEMOVE() ORB_ON_WM(WM_MOUSEMOVE, CallMouse, OnMouseMove)
#define ON_WM_LBUTTONDOWN() ORB_ON_WM(WM_LBUTTONDOWN, CallMouse, OnLButtonDown)
#define ON_WM_LBUTTONUP() ORB_ON_WM(WM_LBUTTONUP, CallMouse, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() ORB_ON_WM(WM_LBUTTONDBLCLK, CallMouse, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() ORB_ON_WM(WM_RBUTTONDOWN, CallMouse, OnRButtonDown)
#define ON_WM_RBUTTONUP() ORB_ON_WM(WM_RBUTTONUP, CallMouse, OnRButtonUp)
#define ON_WM_SYSCOMMAND() ORB_ON_WM(WM_SYSCOMMAND, CallSysCommand, OnSysCommand)
#define ON_WM_KEYDOWN() ORB_ON_WM(WM_KEYDOWN, CallKey, OnKeyDown)
#define ON_WM_SHOWWINDOW() ORB_ON_WM(WM_SHOWWINDOW, CallShowWindow, OnShowWindow)
#define ON_WM_GETMINMAXINFO() ORB_ON_WM(WM_GETMINMAXINFO, CallMinMax, OnGetMinMaxInfo)
#define ON_WM_CONTEXTMENU() ORB_ON_WM(WM_CONTEXTMENU, CallContextMenu, OnContextMenu)
#define ON_WM_SETFOCUS() ORB_ON_WM(WM_SETFOCUS, CallFocus, OnSetFocus)
#define ON_WM_KILLFOCUS() ORB_ON_WM(WM_KILLFOCUS, CallFocus, OnKillFocus)
// All WM_CTLCOLOR* messages: HBRUSH OnCtlColor(CDC*, CWnd*, UINT nCtlColor).
#define ON_WM_CTLCOLOR() ::MsgMap::CtlColor<ThisClass, &ThisClass::OnCtlColor>(),
