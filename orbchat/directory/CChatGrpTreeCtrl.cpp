#include "directory/CChatGrpTreeCtrl.h"

void CChatGrpTreeCtrl::InitTree() {
  CFillGuard guard(*this);
  if (!FillTags(CChatDirectory::kGroupTags, "tree2.grouptag", false)) return;
  std::vector<ChatGroupRow> rows;
  Directory().ReadGroups(rows);
  for (const ChatGroupRow& row : rows) {
    auto record = std::make_unique<tag_GroupItemData>();
    record->groupid = row.groupid;
    record->name = row.name;
    record->tag = row.tag;
    record->title = row.title;
    record->members = row.members;
    AttachItem(m_arrItemData, std::move(record), row.name, "tree2.role.b");
  }
}
