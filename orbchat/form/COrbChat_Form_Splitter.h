#pragma once
// A splitter bar of the conversation window: a static control the user drags
// along one axis. While the left button is held the bar follows the pointer
// along its axis; when it is released (or the mouse capture is lost) the bar
// stays at its new place and the form moves the neighbouring areas. The drag
// is not limited. The two bars of the form derive from this class.
#include "CPoint.h"
#include "CRect.h"
#include "CStatic.h"

class COrbChat_Form;

class COrbChat_Form_Splitter : public CStatic {
 public:
  COrbChat_Form* m_pForm = nullptr;  // back pointer, set by the form's initialisation
  bool m_bDragging = false;
  CPoint m_ptPress;                  // press point in the splitter's client coordinates

 protected:
  // horizontalBar: the bar moves up and down (between view and editor);
  // otherwise it moves left and right.
  explicit COrbChat_Form_Splitter(bool horizontalBar) : m_bHorizontalBar(horizontalBar) {}
  // The bar now lies at splitter (form client coordinates): the neighbours follow.
  virtual void FollowMove(const CRect& splitter) = 0;

  void OnLButtonDown(UINT flags, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  // Remembers a pointer position given in client coordinates.
  void TrackPointer(CPoint point);
  // The bar's rectangle at the press, moved along its axis by the pointer's
  // last distance from the press point (both in screen coordinates).
  CRect DraggedRect() const;
  void EndDrag();

  bool m_bHorizontalBar;
  CRect m_rcAtPress;     // form client coordinates
  CPoint m_ptPressScreen;
  CPoint m_ptLastScreen;
};
