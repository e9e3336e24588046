#pragma once
// The vertical bar before the right-hand pane (static 22025): dragged left or
// right, the view, the horizontal bar and the editor end before it and the
// pane starts after it.
#include "form/COrbChat_Form_Splitter.h"

class COrbChat_Form_SplitRight : public COrbChat_Form_Splitter {
 public:
  COrbChat_Form_SplitRight() : COrbChat_Form_Splitter(false) {}

 protected:
  void FollowMove(const CRect& splitter) override;
};
