#include "FrozenScreen.h"

#include <cstring>
#include <vector>

#include "CClientDC.h"
#include "CDC.h"
#include "CSelectObjectGuard.h"

namespace {

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list) {
  reinterpret_cast<std::vector<CRect>*>(list)->push_back(*rect);
  return TRUE;
}

// The parts of area that monitors show, one for each monitor it touches.
std::vector<CRect> MonitorParts(const CRect& area) {
  std::vector<CRect> monitors;
  ::EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  std::vector<CRect> parts;
  for (const CRect& monitor : monitors) {
    CRect part;
    if (::IntersectRect(&part, &monitor, &area)) parts.push_back(part);
  }
  return parts;
}

}  // namespace

bool CFrozenScreen::IsTakeable(const CRect& area) {
  const int64_t width = int64_t{area.right} - area.left;
  const int64_t height = int64_t{area.bottom} - area.top;
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
}

bool CFrozenScreen::Take(const CRect& area) {
  m_bitmap.DeleteObject();
  m_pBits = nullptr;
  m_rcArea = CRect();
  if (!IsTakeable(area)) return false;
  CBitmap picture;
  DWORD* bits = nullptr;
  if (!picture.CreateDIBSection32(area.Width(), area.Height(), &bits)) return false;
  // A new DIB section is zero-filled, so what no monitor covers stays black.
  CClientDC screen(nullptr);
  CDC memory;
  if (!screen.GetSafeHdc() || !memory.CreateCompatibleDC(screen)) return false;
  {
    CSelectObjectGuard select(memory, picture);
    if (!select.Selected()) return false;
    // Monitor by monitor: a copy that reaches beyond the screen's edge is
    // not clipped to it everywhere (Wine copies nothing at all then).
    // CAPTUREBLT takes layered (translucent) windows too, as the user sees them.
    for (const CRect& part : MonitorParts(area)) {
      if (!memory.BitBlt(part.left - area.left, part.top - area.top, part.Width(), part.Height(), screen, part.left,
                         part.top, SRCCOPY | CAPTUREBLT)) {
        return false;
      }
    }
  }
  ::GdiFlush();
  m_bitmap = std::move(picture);
  m_pBits = bits;
  m_rcArea = area;
  return true;
}

CBitmap CFrozenScreen::Cut(const CRect& rect) const {
  CBitmap piece;
  const CRect whole(0, 0, Width(), Height());
  if (IsEmpty() || rect.IsRectEmpty() || rect.left < 0 || rect.top < 0 || rect.right > whole.right ||
      rect.bottom > whole.bottom) {
    return piece;
  }
  DWORD* bits = nullptr;
  if (!piece.CreateDIBSection32(rect.Width(), rect.Height(), &bits)) return piece;
  const size_t rowBytes = static_cast<size_t>(rect.Width()) * sizeof(DWORD);
  for (int y = 0; y < rect.Height(); ++y) {
    std::memcpy(bits + static_cast<size_t>(y) * static_cast<size_t>(rect.Width()), Row(rect.top + y) + rect.left,
                rowBytes);
  }
  return piece;
}
