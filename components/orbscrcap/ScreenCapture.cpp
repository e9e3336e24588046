#include "ScreenCapture.h"

#include <utility>

#include "CClipboard.h"
#include "CaptureOverlay.h"
#include "FrozenScreen.h"

namespace {

CScreenCapture::RegionChooser g_chooser;
CScreenCapture::ScreenAreaFn g_screenArea;

}  // namespace

void CScreenCapture::SetRegionChooser(RegionChooser chooser) { g_chooser = std::move(chooser); }

void CScreenCapture::SetScreenArea(ScreenAreaFn area) { g_screenArea = std::move(area); }

CRect CScreenCapture::GetScreenArea() {
  if (g_screenArea) return g_screenArea();
  const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  return CRect(left, top, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
               top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

bool CScreenCapture::ScreenCapture(CAPTYPE type) {
  if (type != CAPTYPE_FULLSCREEN && type != CAPTYPE_REGION) return false;
  CFrozenScreen screen;
  if (!screen.Take(GetScreenArea())) return false;
  if (type == CAPTYPE_FULLSCREEN) return PutOnClipboard(screen.GetBitmap());

  CRect region;
  if (!ChooseRegion(screen, region)) return false;
  // The chosen rectangle in the picture's own coordinates; a chooser that
  // reaches beyond the screen gets the part on it, one with no area nothing.
  region.OffsetRect(-screen.GetArea().left, -screen.GetArea().top);
  CRect onScreen;
  const CRect whole(0, 0, screen.Width(), screen.Height());
  if (!::IntersectRect(&onScreen, &region, &whole)) return false;
  CBitmap piece = screen.Cut(onScreen);
  return !piece.IsNull() && PutOnClipboard(piece);
}

bool CScreenCapture::ChooseRegion(const CFrozenScreen& screen, CRect& region) const {
  if (g_chooser) {
    // A copy, so a chooser that replaces itself while it runs is safe.
    const RegionChooser chooser = g_chooser;
    return chooser(m_hOwner, screen.GetBitmap(), screen.GetArea(), region);
  }
  CCaptureOverlay overlay(screen);
  return overlay.ChooseRegion(m_hOwner, region);
}

bool CScreenCapture::PutOnClipboard(HBITMAP bitmap) const {
  // Opened only now, after the user has chosen: holding the clipboard open
  // during the choice would block every other program's copy and paste.
  CClipboardLock clipboard(m_hOwner);
  if (!clipboard.IsOpen()) return false;
  return clipboard->SetBitmap(bitmap);
}
