#pragma once
// Screen capture for the conversation window's capture commands.
//
//   CScreenCapture capture(this);                 // the form's window
//   if (capture.ScreenCapture(CScreenCapture::CAPTYPE_REGION)) { /* bitmap on the clipboard */ }
//
// ScreenCapture(CAPTYPE_FULLSCREEN) puts the whole screen (every monitor) on
// the clipboard as a bitmap. ScreenCapture(CAPTYPE_REGION) first freezes the
// screen and lets the user drag a rectangle over it (see CCaptureOverlay);
// only the confirmed rectangle goes to the clipboard. Both return true when
// the bitmap is on the clipboard. They return false, and leave the clipboard
// as it was, when the user cancels, when the clipboard is held open by
// another window, when the screen is too large to hold in memory, or for an
// unknown capture type.
//
// Tests replace the two things a person or the machine decides: which
// rectangle is chosen, and which part of the screen counts as the screen.
#include <windows.h>

#include <functional>

#include "CRect.h"
#include "CWnd.h"
#include "OrbScrCapApi.h"

class CFrozenScreen;

class ORBSCRCAP_API CScreenCapture {
 public:
  using CAPTYPE = int;
  static constexpr CAPTYPE CAPTYPE_FULLSCREEN = 0;
  static constexpr CAPTYPE CAPTYPE_REGION = 1;

  // Chooses a rectangle (screen coordinates) of the frozen screen, a bitmap
  // of the screen area's size; false when the user cancelled.
  using RegionChooser = std::function<bool(HWND owner, HBITMAP frozen, const CRect& screen, CRect& region)>;
  // The part of the screen that is captured, in screen coordinates.
  using ScreenAreaFn = std::function<CRect()>;

  // owner: the form's window; it opens the clipboard and is disabled while
  // the user chooses a region. May be null.
  explicit CScreenCapture(CWnd* owner) : m_hOwner(owner ? owner->GetSafeHwnd() : nullptr) {}
  explicit CScreenCapture(HWND owner) : m_hOwner(owner) {}

  bool ScreenCapture(CAPTYPE type);

  // Installs a chooser; an empty function puts back the full-screen overlay
  // in which the user drags.
  static void SetRegionChooser(RegionChooser chooser);
  // Installs a screen area; an empty function puts back the virtual screen
  // (the rectangle around every monitor).
  static void SetScreenArea(ScreenAreaFn area);
  static CRect GetScreenArea();

 private:
  bool ChooseRegion(const CFrozenScreen& screen, CRect& region) const;
  bool PutOnClipboard(HBITMAP bitmap) const;

  HWND m_hOwner;
};
