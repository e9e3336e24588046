#pragma once
// Picks one tag of the chat objects (CustChatObjectTag): used to move a chat
// object to another tag and to add a contact from the contact browser.
#include "CStatic.h"
#include "directory/CSelectTagDialog.h"

class COrbChat_SelectContactTag : public CSelectTagDialog {
 public:
  COrbChat_SelectContactTag(CWnd* parent, COrbHttp_Protocol_Orb* protocol);

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void Skin() override;

 private:
  CStatic m_picture;
};
