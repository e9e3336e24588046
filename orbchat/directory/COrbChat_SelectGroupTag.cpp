#include "directory/COrbChat_SelectGroupTag.h"

#include "OrbSkin.h"
#include "directory/CChatDirectory.h"
#include "resources/resource.h"

COrbChat_SelectGroupTag::COrbChat_SelectGroupTag(CWnd* parent, COrbHttp_Protocol_Orb* protocol)
    : CSelectTagDialog(IDD_SELECT_GROUP_TAG, IDC_GROUP_TAG_COMBO, CChatDirectory::kGroupTags, parent, protocol) {}

void COrbChat_SelectGroupTag::Skin() {
  dsSkinWindow(m_hWnd, DSK_DIALOG, nullptr, 1);
  dsSkinWindow(m_comboTags.m_hWnd, DSK_COMBOBOX, nullptr, 0);
}
