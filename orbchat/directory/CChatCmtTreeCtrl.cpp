#include "directory/CChatCmtTreeCtrl.h"

void CChatCmtTreeCtrl::InitTree() {
  CFillGuard guard(*this);
  if (!FillTags(CChatDirectory::kCommunityTags, "tree2.communitytag", true)) return;
  std::vector<CommunityRow> rows;
  Directory().ReadCommunities(rows);
  for (const CommunityRow& row : rows) {
    auto record = std::make_unique<tag_CommunityItemData>();
    record->groupid = row.groupid;
    record->groupname = row.groupname;
    record->tag = row.tag;
    record->groupdes = row.groupdes;
    record->members = row.members;
    AttachItem(m_arrItemData, std::move(record), row.groupname, "tree2.role.h");
  }
  OpenCategories();
}

// A category is asked to open when it is made, but a node without children
// cannot open yet; once its communities are in, it is opened again so that
// they show without a click.
void CChatCmtTreeCtrl::OpenCategories() {
  for (const auto& record : m_arrTagData)
    if (ItemHasChildren(record->hItem)) Expand(record->hItem, TVE_EXPAND);
}
