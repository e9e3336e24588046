#include "directory/CChatObjTreeCtrl.h"

#include "chat/COrbChat_Mgr.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CChatObjTreeCtrl, CChatTreeBase)
  ON_COMMAND(ID_OBJECT_SEND_MESSAGE, OpenSelected)
END_MESSAGE_MAP()

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

void CChatObjTreeCtrl::OpenSelected() {
  const tag_ChatItemData* record = RecordOf(m_arrItemData, GetSelectedItem());
  if (!record) return;
  COrbChat_Form* form = OpenConversation("", record->contactid, "");
  if (!form) return;
  form->SetCaption(record->name);
  Present(*form);
}
