#pragma once
// Picks one category of the discussion groups (CustChatGroupTag): used to
// move a group to another category. Its combo box has an editable field; a
// typed name is never used.
#include "directory/CSelectTagDialog.h"

class COrbChat_SelectGroupTag : public CSelectTagDialog {
 public:
  COrbChat_SelectGroupTag(CWnd* parent, COrbHttp_Protocol_Orb* protocol);

 protected:
  void Skin() override;
};
