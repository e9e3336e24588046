#include "form/COrbChat_Form_Splitter.h"

BEGIN_MESSAGE_MAP(COrbChat_Form_Splitter, CStatic)
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_MESSAGE(WM_CAPTURECHANGED, &COrbChat_Form_Splitter::OnCaptureChanged)
END_MESSAGE_MAP()

void COrbChat_Form_Splitter::OnLButtonDown(UINT flags, CPoint point) {
  CStatic::OnLButtonDown(flags, point);
  m_ptPress = point;
  TrackPointer(point);
  m_ptPressScreen = m_ptLastScreen;
  m_rcAtPress = GetWindowRect();
  if (CWnd* parent = GetParent()) parent->ScreenToClient(&m_rcAtPress);
  m_bDragging = true;
  SetCapture();
}

void COrbChat_Form_Splitter::TrackPointer(CPoint point) {
  m_ptLastScreen = point;
  ClientToScreen(&m_ptLastScreen);
}

CRect COrbChat_Form_Splitter::DraggedRect() const {
  CRect rect = m_rcAtPress;
  if (m_bHorizontalBar) rect.OffsetRect(0, m_ptLastScreen.y - m_ptPressScreen.y);
  else rect.OffsetRect(m_ptLastScreen.x - m_ptPressScreen.x, 0);
  return rect;
}

void COrbChat_Form_Splitter::OnMouseMove(UINT flags, CPoint point) {
  if (!m_bDragging) {
    CStatic::OnMouseMove(flags, point);
    return;
  }
  // Live feedback: only the bar moves while the button is held.
  TrackPointer(point);
  MoveWindow(DraggedRect(), TRUE);
}

void COrbChat_Form_Splitter::OnLButtonUp(UINT flags, CPoint point) {
  CStatic::OnLButtonUp(flags, point);
  if (m_bDragging) TrackPointer(point);
  EndDrag();
}

LRESULT COrbChat_Form_Splitter::OnCaptureChanged(WPARAM, LPARAM) {
  // Another window took the mouse (a menu, a switch of application): the drag
  // ends where the pointer was last seen, so no area is left half moved.
  EndDrag();
  return Default();
}

void COrbChat_Form_Splitter::EndDrag() {
  if (!m_bDragging) return;
  m_bDragging = false;
  const CRect rect = DraggedRect();
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  if (!m_pForm) return;
  MoveWindow(rect, TRUE);
  FollowMove(rect);
}
