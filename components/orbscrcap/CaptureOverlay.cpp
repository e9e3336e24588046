#include "CaptureOverlay.h"

#include <algorithm>

#include "CPaintDC.h"
#include "CSelectObjectGuard.h"
#include "CString.h"

namespace {

// The magnified view: kLensReach pixels on each side of the pointer, each
// shown kLensZoom times as large, with a caption strip below.
constexpr int kLensReach = 15;
constexpr int kLensZoom = 4;
constexpr int kLensSide = (2 * kLensReach + 1) * kLensZoom;
constexpr int kCaptionHeight = 20;
constexpr int kLensGap = 20;  // between the pointer and the view
constexpr int kLabelWidth = 104;
constexpr int kLabelHeight = 22;
constexpr int kHintWidth = 480;
constexpr int kHintHeight = 28;
constexpr int kFrameWidth = 2;

const COLORREF kFrameColour = RGB(0, 120, 215);
const COLORREF kBoxColour = RGB(32, 32, 32);
const COLORREF kTextColour = RGB(255, 255, 255);
const COLORREF kCrossColour = RGB(0, 160, 255);

// Outside the rectangle each colour channel keeps 112/256 of its value.
constexpr DWORD kShade = 112;

DWORD Darken(DWORD pixel) {
  const DWORD redBlue = ((pixel & 0xFF00FF) * kShade >> 8) & 0xFF00FF;
  const DWORD green = ((pixel & 0x00FF00) * kShade >> 8) & 0x00FF00;
  return redBlue | green;
}

CRect Intersection(const CRect& a, const CRect& b) {
  CRect both;
  if (!::IntersectRect(&both, &a, &b)) return CRect();
  return both;
}

}  // namespace

const char CCaptureOverlay::kTitle[] = "截屏";

BEGIN_MESSAGE_MAP(CCaptureOverlay, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_SETCURSOR()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_RBUTTONUP()
  ON_WM_KEYDOWN()
  ON_WM_CLOSE()
  ON_WM_DESTROY()
  ON_MESSAGE(WM_CAPTURECHANGED, &CCaptureOverlay::OnCaptureChanged)
  ON_MESSAGE(WM_CANCELMODE, &CCaptureOverlay::OnCancelMode)
END_MESSAGE_MAP()

CCaptureOverlay::CCaptureOverlay(const CFrozenScreen& screen)
    : m_screen(screen), m_selection(CRect(0, 0, screen.Width(), screen.Height())) {
  m_font.CreatePointFont(90, "宋体");
}

bool CCaptureOverlay::ChooseRegion(HWND owner, CRect& region) {
  if (m_screen.IsEmpty() || m_hWnd) return false;
  // The window to disable is the owner's top level: a child cannot be the
  // owner of a popup, and the whole form must wait for the choice.
  HWND topLevel = owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
  const bool disable = topLevel && ::IsWindowEnabled(topLevel);
  if (!Open(topLevel)) return false;
  if (disable) ::EnableWindow(topLevel, FALSE);
  RunLoop();
  // The owner is enabled again before the overlay goes, so that the system
  // hands the activation back to it and not to some other program.
  if (disable && ::IsWindow(topLevel)) ::EnableWindow(topLevel, TRUE);
  if (::GetCapture() == m_hWnd && m_hWnd) ::ReleaseCapture();
  if (IsWindow()) DestroyWindow();
  if (m_selection.GetState() != CRegionSelection::State::Confirmed) return false;
  region = m_selection.GetRect();
  region.OffsetRect(m_screen.GetArea().left, m_screen.GetArea().top);
  return true;
}

bool CCaptureOverlay::Open(HWND owner) {
  const CRect& area = m_screen.GetArea();
  if (!CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, nullptr, kTitle, WS_POPUP, area, CWnd::FromHandle(owner), 0)) {
    return false;
  }
  ShowWindow(SW_SHOW);
  SetForegroundWindow();
  SetFocus();
  // The pointer may already rest over the screen: show the lens there.
  POINT cursor{};
  if (::GetCursorPos(&cursor) && area.PtInRect(cursor)) {
    m_selection.MoveTo(CPoint(cursor.x - area.left, cursor.y - area.top));
    m_bCursorSeen = true;
  }
  Refresh();
  UpdateWindow();
  return true;
}

void CCaptureOverlay::RunLoop() {
  while (!m_selection.IsFinished()) {
    if (!IsWindow()) {
      m_selection.Cancel();
      break;
    }
    MSG msg;
    const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      // The program is quitting: cancel and leave WM_QUIT for the loop
      // that owns it.
      if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
      m_selection.Cancel();
      break;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

// ---------------------------------------------------------------------------
// Input

void CCaptureOverlay::OnMouseMove(UINT, CPoint point) {
  m_bCursorSeen = true;
  m_selection.MoveTo(point);
  Refresh();
}

void CCaptureOverlay::OnLButtonDown(UINT, CPoint point) {
  m_bCursorSeen = true;
  m_selection.ButtonDown(point);
  // The capture keeps the drag going when the pointer leaves the window's
  // edge (several monitors, or a window that covers less than the screen).
  if (m_selection.GetState() == CRegionSelection::State::Dragging) SetCapture();
  Refresh();
}

void CCaptureOverlay::OnLButtonUp(UINT, CPoint point) {
  // The drag is over before the capture goes, so that losing it here is
  // not taken for a capture taken away.
  m_selection.ButtonUp(point);
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  Refresh();
}

void CCaptureOverlay::OnLButtonDblClk(UINT, CPoint point) {
  m_selection.DoubleClick(point);
  if (m_selection.GetState() == CRegionSelection::State::Dragging) SetCapture();
  Refresh();
}

// The right button cancels on its release, so that the release does not
// reach the window beneath once the overlay is gone.
void CCaptureOverlay::OnRButtonUp(UINT, CPoint) { m_selection.Cancel(); }

void CCaptureOverlay::OnKeyDown(UINT key, UINT, UINT) {
  if (key == VK_ESCAPE) m_selection.Cancel();
  if (key == VK_RETURN) m_selection.Confirm();
}

void CCaptureOverlay::OnClose() { m_selection.Cancel(); }

void CCaptureOverlay::OnDestroy() {
  m_selection.Cancel();
  CWnd::OnDestroy();
}

LRESULT CCaptureOverlay::OnCaptureChanged(WPARAM, LPARAM lParam) {
  if (reinterpret_cast<HWND>(lParam) != m_hWnd && m_selection.GetState() == CRegionSelection::State::Dragging) {
    m_selection.Cancel();
  }
  return 0;
}

LRESULT CCaptureOverlay::OnCancelMode(WPARAM, LPARAM) {
  m_selection.Cancel();
  return 0;
}

BOOL CCaptureOverlay::OnSetCursor(CWnd*, UINT, UINT) {
  ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32515)));  // IDC_CROSS
  return TRUE;
}

// ---------------------------------------------------------------------------
// Layout

CRect CCaptureOverlay::LensRect() const {
  if (!m_bCursorSeen || m_selection.IsFinished()) return CRect();
  const CPoint at = m_selection.GetCursor();
  const CRect& bounds = m_selection.GetBounds();
  const int width = kLensSide;
  const int height = kLensSide + kCaptionHeight;
  // Below right of the pointer, flipped to the other side near an edge.
  LONG left = at.x + kLensGap;
  if (left + width > bounds.right) left = std::max(bounds.left, at.x - kLensGap - width);
  LONG top = at.y + kLensGap;
  if (top + height > bounds.bottom) top = std::max(bounds.top, at.y - kLensGap - height);
  return CRect(left, top, left + width, top + height);
}

CRect CCaptureOverlay::LabelRect() const {
  const CRect chosen = m_selection.GetRect();
  if (m_selection.GetState() != CRegionSelection::State::Dragging &&
      m_selection.GetState() != CRegionSelection::State::Selected) {
    return CRect();
  }
  // Above the rectangle's top-left corner, or just inside it at the top of
  // the screen.
  LONG top = chosen.top - kFrameWidth - 2 - kLabelHeight;
  if (top < m_selection.GetBounds().top) top = chosen.top + kFrameWidth + 2;
  return CRect(chosen.left, top, chosen.left + kLabelWidth, top + kLabelHeight);
}

CRect CCaptureOverlay::HintRect() const {
  if (!HintText()) return CRect();
  const CRect& bounds = m_selection.GetBounds();
  const int left = bounds.left + (bounds.Width() - kHintWidth) / 2;
  return CRect(left, bounds.top + 12, left + kHintWidth, bounds.top + 12 + kHintHeight);
}

const char* CCaptureOverlay::HintText() const {
  switch (m_selection.GetState()) {
    case CRegionSelection::State::Idle:
      return "按住鼠标左键拖动，选择截图区域；右键或 Esc 取消";
    case CRegionSelection::State::Selected:
      return "双击选区或按回车键完成截图；右键或 Esc 取消";
    default:
      return nullptr;
  }
}

std::vector<CRect> CCaptureOverlay::Decorations() const {
  std::vector<CRect> drawn;
  CRect chosen = m_selection.GetRect();
  if (m_selection.GetState() == CRegionSelection::State::Dragging ||
      m_selection.GetState() == CRegionSelection::State::Selected) {
    chosen.InflateRect(kFrameWidth);
    drawn.push_back(chosen);
  }
  for (const CRect& box : {LabelRect(), LensRect(), HintRect()}) {
    if (!box.IsRectEmpty()) drawn.push_back(box);
  }
  return drawn;
}

void CCaptureOverlay::Refresh() {
  if (!m_hWnd) return;
  std::vector<CRect> now = Decorations();
  if (now == m_arrDrawn) return;
  for (const CRect& box : m_arrDrawn) InvalidateRect(&box, FALSE);
  for (const CRect& box : now) InvalidateRect(&box, FALSE);
  m_arrDrawn = std::move(now);
}

// ---------------------------------------------------------------------------
// Painting

BOOL CCaptureOverlay::OnEraseBkgnd(CDC*) { return TRUE; }

void CCaptureOverlay::OnPaint() {
  // The update region is painted rectangle by rectangle, so a drag far from
  // the lens does not repaint the whole screen between them.
  CGdiObject update;
  update.Attach(::CreateRectRgn(0, 0, 0, 0));
  std::vector<CRect> areas;
  if (update.m_hObject && ::GetUpdateRgn(m_hWnd, static_cast<HRGN>(update.m_hObject), FALSE) > NULLREGION) {
    const DWORD size = ::GetRegionData(static_cast<HRGN>(update.m_hObject), 0, nullptr);
    std::vector<BYTE> buffer(size);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    if (size && ::GetRegionData(static_cast<HRGN>(update.m_hObject), size, data) == size) {
      const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
      areas.assign(rects, rects + data->rdh.nCount);
    }
  }
  CPaintDC dc(this);
  if (areas.empty()) areas.push_back(dc.m_ps.rcPaint);
  const CRect client = GetClientRect();
  for (const CRect& area : areas) {
    const CRect visible = Intersection(area, client);
    if (!visible.IsRectEmpty()) PaintArea(dc, visible);
  }
}

void CCaptureOverlay::PaintArea(CDC& target, const CRect& area) const {
  CBitmap buffer;
  DWORD* bits = nullptr;
  if (!buffer.CreateDIBSection32(area.Width(), area.Height(), &bits)) return;
  ShadePixels(bits, area);
  CDC memory;
  if (!memory.CreateCompatibleDC(target)) return;
  CSelectObjectGuard select(memory, buffer);
  if (!select.Selected()) return;
  // Decorations are drawn in client coordinates; the buffer holds area only.
  ::SetViewportOrgEx(memory, -area.left, -area.top, nullptr);
  DrawFrame(memory);
  DrawLens(memory);
  DrawLabel(memory);
  DrawHint(memory);
  target.BitBlt(area.left, area.top, area.Width(), area.Height(), memory, area.left, area.top, SRCCOPY);
}

void CCaptureOverlay::ShadePixels(DWORD* bits, const CRect& area) const {
  const CRect bright = Intersection(m_selection.GetRect(), area);
  for (int y = area.top; y < area.bottom; ++y) {
    const DWORD* source = m_screen.Row(y) + area.left;
    DWORD* target = bits + static_cast<size_t>(y - area.top) * static_cast<size_t>(area.Width());
    const bool rowLit = y >= bright.top && y < bright.bottom;
    for (int x = area.left; x < area.right; ++x) {
      const bool lit = rowLit && x >= bright.left && x < bright.right;
      *target++ = lit ? *source : Darken(*source);
      ++source;
    }
  }
}

void CCaptureOverlay::DrawFrame(CDC& dc) const {
  if (m_selection.GetState() != CRegionSelection::State::Dragging &&
      m_selection.GetState() != CRegionSelection::State::Selected) {
    return;
  }
  CRect frame = m_selection.GetRect();
  for (int i = 0; i < kFrameWidth; ++i) {
    frame.InflateRect(1);
    dc.FrameSolidRect(frame, kFrameColour);
  }
}

void CCaptureOverlay::DrawTextBox(CDC& dc, const CRect& box, const char* text) const {
  dc.FillSolidRect(box, kBoxColour);
  CSelectObjectGuard font(dc, m_font);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(kTextColour);
  CRect inside = box;
  dc.DrawText(text, &inside, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void CCaptureOverlay::DrawLabel(CDC& dc) const {
  const CRect box = LabelRect();
  if (box.IsRectEmpty()) return;
  const CRect chosen = m_selection.GetRect();
  CString size;
  size.Format("%d × %d", chosen.Width(), chosen.Height());
  DrawTextBox(dc, box, size);
}

void CCaptureOverlay::DrawLens(CDC& dc) const {
  const CRect box = LensRect();
  if (box.IsRectEmpty()) return;
  const CPoint at = m_selection.GetCursor();
  const CRect view(box.left, box.top, box.right, box.top + kLensSide);
  dc.FillSolidRect(view, RGB(0, 0, 0));
  // Only the part of the pointer's neighbourhood that lies on the screen is
  // magnified; beyond the edge the view stays black.
  const CRect wanted(at.x - kLensReach, at.y - kLensReach, at.x + kLensReach + 1, at.y + kLensReach + 1);
  const CRect source = Intersection(wanted, m_selection.GetBounds());
  CDC picture;
  if (!source.IsRectEmpty() && picture.CreateCompatibleDC(dc)) {
    CSelectObjectGuard select(picture, m_screen.GetBitmap());
    if (select.Selected()) {
      ::SetStretchBltMode(dc, COLORONCOLOR);
      dc.StretchBlt(view.left + (source.left - wanted.left) * kLensZoom,
                    view.top + (source.top - wanted.top) * kLensZoom, source.Width() * kLensZoom,
                    source.Height() * kLensZoom, picture, source.left, source.top, source.Width(), source.Height(),
                    SRCCOPY);
    }
  }
  // Cross hairs through the middle of the pointer's own pixel.
  const int middleX = view.left + kLensReach * kLensZoom + kLensZoom / 2;
  const int middleY = view.top + kLensReach * kLensZoom + kLensZoom / 2;
  dc.FillSolidRect(middleX, view.top, 1, view.Height(), kCrossColour);
  dc.FillSolidRect(view.left, middleY, view.Width(), 1, kCrossColour);
  dc.FrameSolidRect(view, kTextColour);

  const CRect caption(box.left, view.bottom, box.right, box.bottom);
  CString text;
  if (m_selection.GetState() == CRegionSelection::State::Idle) {
    const CRect& area = m_screen.GetArea();
    text.Format("X: %ld  Y: %ld", at.x + area.left, at.y + area.top);
  } else {
    const CRect chosen = m_selection.GetRect();
    text.Format("%d × %d", chosen.Width(), chosen.Height());
  }
  DrawTextBox(dc, caption, text);
}

void CCaptureOverlay::DrawHint(CDC& dc) const {
  const CRect box = HintRect();
  if (!box.IsRectEmpty()) DrawTextBox(dc, box, HintText());
}
