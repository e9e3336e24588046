#include "form/COrbChat_Form_SplitRight.h"

#include "form/COrbChat_Form.h"

void COrbChat_Form_SplitRight::FollowMove(const CRect& splitter) { m_pForm->FollowSplitRight(splitter); }
