#include "RegionSelection.h"

#include <algorithm>

CPoint CRegionSelection::Clamp(CPoint point) const {
  // The far corner may lie on the right or bottom edge itself, so that a
  // drag to the screen's edge takes the last row and column too.
  return CPoint(std::clamp(point.x, m_rcBounds.left, std::max(m_rcBounds.left, m_rcBounds.right)),
                std::clamp(point.y, m_rcBounds.top, std::max(m_rcBounds.top, m_rcBounds.bottom)));
}

void CRegionSelection::ButtonDown(CPoint point) {
  if (IsFinished()) return;
  m_ptCursor = Clamp(point);
  // A press inside a kept rectangle may be the first half of the double
  // click that confirms it; it must not throw the rectangle away.
  if (m_state == State::Selected && GetRect().PtInRect(m_ptCursor)) return;
  m_ptAnchor = m_ptEnd = m_ptCursor;
  m_state = State::Dragging;
}

void CRegionSelection::MoveTo(CPoint point) {
  if (IsFinished()) return;
  m_ptCursor = Clamp(point);
  if (m_state == State::Dragging) m_ptEnd = m_ptCursor;
}

void CRegionSelection::ButtonUp(CPoint point) {
  if (m_state != State::Dragging) return;
  m_ptCursor = m_ptEnd = Clamp(point);
  m_state = GetRect().IsRectEmpty() ? State::Idle : State::Selected;
}

void CRegionSelection::DoubleClick(CPoint point) {
  if (IsFinished()) return;
  const CPoint at = Clamp(point);
  if (m_state == State::Selected && GetRect().PtInRect(at)) {
    m_ptCursor = at;
    m_state = State::Confirmed;
    return;
  }
  // Elsewhere the second press of a quick double click starts a rectangle
  // like any press.
  ButtonDown(point);
}

void CRegionSelection::Confirm() {
  if (m_state == State::Selected) m_state = State::Confirmed;
}

void CRegionSelection::Cancel() {
  if (m_state != State::Confirmed) m_state = State::Cancelled;
}

CRect CRegionSelection::GetRect() const {
  if (m_state == State::Idle || m_state == State::Cancelled) return CRect();
  CRect rect(m_ptAnchor.x, m_ptAnchor.y, m_ptEnd.x, m_ptEnd.y);
  rect.NormalizeRect();
  return rect;
}
