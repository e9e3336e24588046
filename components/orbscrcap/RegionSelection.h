#pragma once
// The rectangle a user is choosing on the frozen screen, driven by the
// overlay's mouse and key events. It has no window of its own, so every rule
// of the choice can be checked without one:
//  - a left press starts a rectangle, moving drags its far corner, the
//    release keeps it (a release where it started, a 0 x 0 rectangle, keeps
//    nothing and the user starts again);
//  - once a rectangle is kept, Enter or a double click inside it confirms;
//    a press outside it starts a new one, a press inside it waits for the
//    double click;
//  - Esc, a right click, a lost mouse capture or a vanished window cancel.
// Points are in the overlay's client coordinates; the rectangle never leaves
// the bounds (the frozen screen), whatever point the mouse reports.
#include "CPoint.h"
#include "CRect.h"
#include "OrbScrCapApi.h"

class ORBSCRCAP_API CRegionSelection {
 public:
  enum class State { Idle, Dragging, Selected, Confirmed, Cancelled };

  explicit CRegionSelection(const CRect& bounds) : m_rcBounds(bounds) {}

  void ButtonDown(CPoint point);
  void MoveTo(CPoint point);
  void ButtonUp(CPoint point);
  void DoubleClick(CPoint point);
  // Enter: confirms a kept rectangle; does nothing without one.
  void Confirm();
  void Cancel();

  State GetState() const { return m_state; }
  bool IsFinished() const { return m_state == State::Confirmed || m_state == State::Cancelled; }
  // The rectangle being dragged or kept, normalised; empty in Idle and after
  // a cancel.
  CRect GetRect() const;
  // The last point the mouse reported, inside the bounds.
  CPoint GetCursor() const { return m_ptCursor; }
  const CRect& GetBounds() const { return m_rcBounds; }

 private:
  CPoint Clamp(CPoint point) const;

  CRect m_rcBounds;
  State m_state = State::Idle;
  CPoint m_ptAnchor;
  CPoint m_ptEnd;
  CPoint m_ptCursor;
};
