#include "directory/CChatObjTreeCtrl.h"

void CChatObjTreeCtrl::InitTree() {
  CFillGuard guard(*this);
  if (!FillTags(CChatDirectory::kChatObjectTags, "tree2.objecttag", false)) return;
  std::vector<ChatObjectRow> rows;
  Directory().ReadChatObjects(rows);
  for (const ChatObjectRow& row : rows) {
    auto record = std::make_unique<tag_ChatItemData>();
    record->contactid = row.contactid;
    CString alias = row.alias;
    alias.Trim();
    record->name = alias.IsEmpty() ? row.name : alias;
    record->tag = row.tag;
    record->role = row.role;
    CString icon;
    icon.Format("tree2.role.%s", record->role.GetString());
    const CString text = record->name;
    AttachItem(m_arrItemData, std::move(record), text, icon);
  }
}

HTREEITEM CChatObjTreeCtrl::FindContactItem(const char* contactid) const {
  for (const auto& record : m_arrItemData)
    if (record->contactid == contactid) return record->hItem;
  return nullptr;
}
