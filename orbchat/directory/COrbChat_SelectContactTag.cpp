#include "directory/COrbChat_SelectContactTag.h"

#include "OrbSkin.h"
#include "directory/CChatDirectory.h"
#include "resources/resource.h"

COrbChat_SelectContactTag::COrbChat_SelectContactTag(CWnd* parent, COrbHttp_Protocol_Orb* protocol)
    : CSelectTagDialog(IDD_SELECT_CONTACT_TAG, IDC_CONTACT_TAG_COMBO, CChatDirectory::kChatObjectTags, parent,
                       protocol) {}

void COrbChat_SelectContactTag::DoDataExchange(CDataExchange* dx) {
  CSelectTagDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_TAG_PICTURE, m_picture);
}

// The combo box and the picture are left alone while the dialog's children
// are skinned; the combo box then gets its own look. The marks are taken
// off again whatever happens after.
void COrbChat_SelectContactTag::Skin() {
  CWnd* marked[] = {&m_comboTags, &m_picture};
  for (CWnd* wnd : marked)
    if (!wnd->GetProp(DS_NO_SKIN_PROPERTY)) wnd->SetProp(DS_NO_SKIN_PROPERTY, reinterpret_cast<HANDLE>(1));
  dsSkinWindow(m_hWnd, DSK_DIALOG, nullptr, 1);
  dsSkinWindow(m_comboTags.m_hWnd, DSK_COMBOBOX, nullptr, 0);
  for (CWnd* wnd : marked) wnd->RemoveProp(DS_NO_SKIN_PROPERTY);
}
