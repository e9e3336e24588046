#include "directory/CChatGrpTreeCtrl.h"

#include "chat/COrbChat_Mgr.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CChatGrpTreeCtrl, CChatTreeBase)
  ON_COMMAND(ID_GROUP_SEND_MESSAGE, OpenSelected)
END_MESSAGE_MAP()

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

void CChatGrpTreeCtrl::OpenSelected() {
  const tag_GroupItemData* record = RecordOf(m_arrItemData, GetSelectedItem());
  if (!record) return;
  COrbChat_Form* form = OpenConversation("", record->members, "");
  if (!form) return;
  form->SetCaption(record->title);
  Present(*form);
}
