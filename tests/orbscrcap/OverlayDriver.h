#pragma once
// Drives the capture overlay from inside its own modal loop the way a user's
// mouse and keys would: the steps run one after the other, each once the
// input posted by the one before has been handled (posted messages are taken
// in order, and before any real mouse movement). A watchdog destroys the
// overlay when the steps have not ended it within the time limit, so a test
// never hangs on it.
//
//   COverlayDriver driver;
//   driver.Then([](HWND overlay) { COverlayDriver::Down(overlay, {10, 10}); COverlayDriver::Move(...); });
//   driver.Then([&](HWND overlay) { /* look at the overlay, then */ COverlayDriver::Key(overlay, VK_RETURN); });
//   driver.Start();
//   bool taken = CScreenCapture(owner).ScreenCapture(CScreenCapture::CAPTYPE_REGION);
#include <windows.h>

#include <deque>
#include <functional>

#include "CPoint.h"

class COverlayDriver {
 public:
  using Step = std::function<void(HWND overlay)>;

  explicit COverlayDriver(DWORD timeoutMs = 10000);
  ~COverlayDriver();
  COverlayDriver(const COverlayDriver&) = delete;
  COverlayDriver& operator=(const COverlayDriver&) = delete;

  void Then(Step step) { m_listSteps.push_back(std::move(step)); }
  // Posts the first step; the overlay's loop runs it once it is open.
  void Start();

  int StepsRun() const { return m_nStepsRun; }
  // Steps that found no overlay open (they were not run).
  int Missed() const { return m_nMissed; }
  bool TimedOut() const { return m_bTimedOut; }

  // The overlay of this thread, or null.
  static HWND FindOverlay();
  // Input as the overlay receives it (client coordinates).
  static void Move(HWND overlay, CPoint at);
  static void Down(HWND overlay, CPoint at);
  static void Up(HWND overlay, CPoint at);
  static void DoubleClick(HWND overlay, CPoint at);
  static void RightClick(HWND overlay, CPoint at);
  static void Key(HWND overlay, UINT key);

 private:
  static LRESULT CALLBACK Proc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);
  void RunNext();

  HWND m_hHelper = nullptr;
  DWORD m_dwTimeout;
  std::deque<Step> m_listSteps;
  int m_nStepsRun = 0;
  int m_nMissed = 0;
  bool m_bTimedOut = false;
};
