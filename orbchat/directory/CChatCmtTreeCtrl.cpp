#include "directory/CChatCmtTreeCtrl.h"

#include "chat/COrbChat_Mgr.h"

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

void CChatCmtTreeCtrl::OpenSelected() {
  tag_CommunityItemData* record = RecordOf(m_arrItemData, GetSelectedItem());
  if (!record || !m_pProtocol || !m_pChatMgr) return;
  const CString threadId = m_pChatMgr->m_strGroupMsgHead + record->groupid;
  CommunityColumns community;
  if (Directory().ReadCommunity(record->groupid, community) && community.members) record->members = *community.members;
  COrbChat_Form* form = OpenConversation(threadId, record->members, record->groupid);
  if (!form) return;
  form->SetCaption(record->groupname);
  form->SetBannerText(record->groupdes);
  form->SetGroupId(record->groupid);
  // Setting the group id again makes the thread key from the group sender's
  // own prefix, which is empty without the INI key; the conversation's
  // thread stays the one it was opened with.
  form->SetThreadId(threadId);
  form->SetMembers(record->members);
  Present(*form);
}
