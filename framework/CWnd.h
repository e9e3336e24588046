#pragma once
// A window object over an HWND, with a message map.
//
// Ways an object gets its window:
//  - CreateEx/Create: the object creates the window and owns it; destroying
//    the object destroys the window.
//  - SubclassWindow/SubclassDlgItem (and DDX_Control): an existing window's
//    messages are routed through the object's message map; the window is not
//    owned and outlives the object (its procedure is put back).
//  - Attach: the object only wraps the handle (no message routing, not owned),
//    for example the host's parent window.
// The handle-to-object map is cleared before a window is destroyed by its
// object, and when a window is destroyed by anyone else the object is
// detached (m_hWnd becomes null) and PostNcDestroy is called. An object is
// never deleted by the framework.
//
// Handlers of the message map call the base class's handler (for example
// CWnd::OnSize) or Default() to get the default processing of the message
// being handled.
#include <windows.h>

#include "CDC.h"
#include "CObject.h"
#include "CPoint.h"
#include "CRect.h"
#include "CString.h"
#include "FrameworkApi.h"
#include "MessageMap.h"

class ORBFW_API CWnd : public CObject {
 public:
  CWnd();
  ~CWnd() override;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;

  operator HWND() const { return m_hWnd; }  // NOLINT
  HWND GetSafeHwnd() const { return m_hWnd; }

  // The object routing this window's messages, or a wrapper kept by the
  // framework for as long as the window lives; nullptr for a null handle.
  static CWnd* FromHandle(HWND wnd);
  // The object attached to or routing this window; nullptr when there is none.
  static CWnd* FromHandlePermanent(HWND wnd);

  // Special insert-after values for SetWindowPos.
  static const CWnd wndTop;
  static const CWnd wndBottom;
  static const CWnd wndTopMost;
  static const CWnd wndNoTopMost;

  BOOL Attach(HWND wnd);
  HWND Detach();
  BOOL SubclassWindow(HWND wnd);
  BOOL SubclassDlgItem(UINT id, CWnd* parent);
  HWND UnsubclassWindow();

  // Creates a window owned by this object. A null class name gives the
  // framework's own plain window class. A class that a module registered for
  // itself only (without CS_GLOBALCLASS) needs that module as classModule.
  virtual BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, const RECT& rect,
                        CWnd* parent, UINT id, LPVOID param = nullptr, HINSTANCE classModule = nullptr);
  BOOL Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id);
  virtual BOOL DestroyWindow();
  // Whether this object created the window it holds (and will destroy it).
  bool OwnsWindow() const { return m_bOwnsWindow; }

  // Message routing.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Looks the message up in the message map (with reflection to child
  // controls first); true when a handler took it.
  virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  // Called for a message the parent reflects back to this control
  // (notifications, owner-draw requests); true when handled.
  virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  // Called from message loops before a message is dispatched; true when the
  // message was consumed.
  virtual BOOL PreTranslateMessage(MSG* msg);
  // Gives every object on the way from the message's window up to its
  // top-level window a chance to consume the message (PreTranslateMessage).
  static BOOL WalkPreTranslateTree(MSG* msg);
  LRESULT Default();

  // Window operations.
  BOOL IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
  BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
  BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
  BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) {
    return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
  }
  BOOL MoveWindow(const RECT& rect, BOOL repaint = TRUE) {
    return MoveWindow(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint);
  }
  BOOL MoveWindow(LPCRECT rect, BOOL repaint = TRUE) { return rect ? MoveWindow(*rect, repaint) : FALSE; }
  BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, insertAfter ? insertAfter->m_hWnd : nullptr, x, y, cx, cy, flags);
  }
  BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags);
  }
  void GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
  void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
  CRect GetWindowRect() const;
  CRect GetClientRect() const;
  void ScreenToClient(LPPOINT point) const { ::ScreenToClient(m_hWnd, point); }
  void ScreenToClient(LPRECT rect) const;
  void ClientToScreen(LPPOINT point) const { ::ClientToScreen(m_hWnd, point); }
  void ClientToScreen(LPRECT rect) const;
  // Converts from this window's client coordinates to to's (nullptr: the screen).
  void MapWindowPoints(const CWnd* to, LPRECT rect) const {
    ::MapWindowPoints(m_hWnd, to ? to->m_hWnd : nullptr, reinterpret_cast<LPPOINT>(rect), 2);
  }
  void MapWindowPoints(const CWnd* to, LPPOINT points, UINT count) const {
    ::MapWindowPoints(m_hWnd, to ? to->m_hWnd : nullptr, points, count);
  }
  // Whether wnd is a child or a deeper descendant of this window.
  BOOL IsChild(const CWnd* wnd) const { return wnd && ::IsChild(m_hWnd, wnd->m_hWnd); }
  BOOL IsChild(HWND wnd) const { return ::IsChild(m_hWnd, wnd); }
  void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
  void InvalidateRect(const RECT* rect, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, rect, erase); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  BOOL RedrawWindow(const RECT* rect = nullptr, HRGN region = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) {
    return ::RedrawWindow(m_hWnd, rect, region, flags);
  }
  void SetRedraw(BOOL redraw = TRUE) { ::SendMessageA(m_hWnd, WM_SETREDRAW, redraw, 0); }

  void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text ? text : ""); }
  void GetWindowText(CString& text) const;
  CString GetWindowText() const;
  int GetWindowText(char* buffer, int size) const { return ::GetWindowTextA(m_hWnd, buffer, size); }
  int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }

  BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
  static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
  BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
  void BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
  CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
  CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
  BOOL FlashWindow(BOOL invert) { return ::FlashWindow(m_hWnd, invert); }

  UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr) { return ::SetTimer(m_hWnd, id, elapse, proc); }
  BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }

  CWnd* GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  void SetDlgItemText(int id, const char* text) { ::SetDlgItemTextA(m_hWnd, id, text ? text : ""); }
  int GetDlgItemText(int id, CString& text) const;
  void SetDlgItemInt(int id, UINT value, BOOL isSigned = TRUE) { ::SetDlgItemInt(m_hWnd, id, value, isSigned); }
  UINT GetDlgItemInt(int id, BOOL* translated = nullptr, BOOL isSigned = TRUE) const {
    return ::GetDlgItemInt(m_hWnd, id, translated, isSigned);
  }
  void CheckDlgButton(int id, UINT check) { ::CheckDlgButton(m_hWnd, id, check); }
  UINT IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }
  void CheckRadioButton(int first, int last, int checked) { ::CheckRadioButton(m_hWnd, first, last, checked); }

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
  }
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
  }

  CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
  CWnd* SetParent(CWnd* parent) { return FromHandle(::SetParent(m_hWnd, parent ? parent->m_hWnd : nullptr)); }
  CWnd* GetTopLevelParent() const;
  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
  DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE)); }
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
  void SetFont(HFONT font, BOOL redraw = TRUE) { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }
  HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
  BOOL SetProp(const char* name, HANDLE data) { return ::SetPropA(m_hWnd, name, data); }
  HANDLE GetProp(const char* name) const { return ::GetPropA(m_hWnd, name); }
  HANDLE RemoveProp(const char* name) { return ::RemovePropA(m_hWnd, name); }

 protected:
  // Message map of CWnd itself (empty; the root of every chain).
  static const MsgMap::Table* GetThisMessageMap();
  virtual const MsgMap::Table* GetMessageMap() const;

  // Called after the window's last message (WM_NCDESTROY), once the object
  // has let go of the handle. The framework never deletes the object.
  virtual void PostNcDestroy() {}
  // Called when a window becomes routed through this object (subclassed).
  virtual void PreSubclassWindow() {}
  // Reflected notifications from this object's own message map.
  bool DispatchReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

  // Default handlers: each runs the default processing of the current message.
  int OnCreate(LPCREATESTRUCTA) { return static_cast<int>(Default()); }
  void OnDestroy() { Default(); }
  void OnClose() { Default(); }
  void OnTimer(UINT_PTR) { Default(); }
  void OnSize(UINT, int, int) { Default(); }
  void OnMove(int, int) { Default(); }
  void OnPaint() { Default(); }
  BOOL OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
  HBRUSH OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }
  BOOL OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
  void OnMouseMove(UINT, CPoint) { Default(); }
  void OnLButtonDown(UINT, CPoint) { Default(); }
  void OnLButtonUp(UINT, CPoint) { Default(); }
  void OnLButtonDblClk(UINT, CPoint) { Default(); }
  void OnRButtonDown(UINT, CPoint) { Default(); }
  void OnRButtonUp(UINT, CPoint) { Default(); }
  void OnSysCommand(UINT, LPARAM) { Default(); }
  void OnKeyDown(UINT, UINT, UINT) { Default(); }
  void OnShowWindow(BOOL, UINT) { Default(); }
  void OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
  void OnContextMenu(CWnd*, CPoint) { Default(); }
  void OnSetFocus(CWnd*) { Default(); }
  void OnKillFocus(CWnd*) { Default(); }

  // The message being handled, for Default().
  MSG m_currentMsg{};
  // The window procedure the window had before it was routed through this
  // object (null for dialogs, whose default is DefDlgProc).
  WNDPROC m_pfnSuper = nullptr;
  bool m_bOwnsWindow = false;

 private:
  friend class WindowRouting;
  friend class CDialog;
  // The special insert-after values.
  explicit CWnd(HWND special);
  bool m_bSpecial = false;
};

#include "MessageMapEntries.h"
