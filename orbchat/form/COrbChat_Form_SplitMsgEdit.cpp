#include "form/COrbChat_Form_SplitMsgEdit.h"

#include "form/COrbChat_Form.h"

void COrbChat_Form_SplitMsgEdit::FollowMove(const CRect& splitter) { m_pForm->FollowSplitMsgEdit(splitter); }
