#pragma once
// Windows for the skin tests: a top-level parent (optionally with its own
// window procedure) and children of any class, destroyed with the holder.
#include <windows.h>

class TestWindow {
 public:
  // A hidden top-level window of 400 x 300; proc defaults to DefWindowProcA.
  static TestWindow Parent(WNDPROC proc = nullptr);
  // A child of the given class, style (WS_CHILD | WS_VISIBLE added) and id.
  static HWND Child(HWND parent, const char* cls, DWORD style, int id, RECT rect = {10, 10, 110, 60});

  TestWindow(TestWindow&& other) noexcept : m_hWnd(other.m_hWnd) { other.m_hWnd = nullptr; }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  TestWindow& operator=(TestWindow&&) = delete;
  ~TestWindow() {
    if (m_hWnd && IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
  }
  HWND Get() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }  // NOLINT: used like the handle

 private:
  explicit TestWindow(HWND wnd) : m_hWnd(wnd) {}
  HWND m_hWnd;
};
