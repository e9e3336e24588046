#pragma once
// Internal to the framework: the window and dialog procedures that route
// messages into objects, and the handle-to-object bookkeeping they share.
#include <windows.h>

class CWnd;
class CDialog;

class WindowRouting {
 public:
  static LRESULT CALLBACK WndProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
  static INT_PTR CALLBACK DlgProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

  static void Bind(CWnd& wnd, HWND handle);
  static void Unbind(CWnd& wnd);
  static bool IsBound(const CWnd& wnd, HWND handle);

  // The dialog being created on this thread; returns the previous one.
  static CDialog* SetPendingDialog(CDialog* dialog);
  // The registered message that runs a modal dialog's "shown" action.
  static UINT ModalShownMessage();
  // Initialises the common controls once per process.
  static void EnsureCommonControls();
  // Reports an exception that reached a window procedure (never rethrows).
  static void ReportException(const char* what) noexcept;

 private:
  static LRESULT Deliver(CWnd& wnd, HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
};
