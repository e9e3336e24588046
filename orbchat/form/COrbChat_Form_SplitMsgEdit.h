#pragma once
// The horizontal bar between the conversation view and the editor (static
// 22026): dragged up or down, the view ends above it and the toolbar row and
// the editor area follow below it.
#include "form/COrbChat_Form_Splitter.h"

class COrbChat_Form_SplitMsgEdit : public COrbChat_Form_Splitter {
 public:
  COrbChat_Form_SplitMsgEdit() : COrbChat_Form_Splitter(true) {}

 protected:
  void FollowMove(const CRect& splitter) override;
};
