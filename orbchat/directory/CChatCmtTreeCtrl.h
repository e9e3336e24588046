#pragma once
// The tree on the third tab: the communities the user belongs to under their
// categories, from CustCommunityTag and CustCommunity. Any column of those
// tables may be NULL; it then reads as empty text or 0.
#include "directory/CChatTreeBase.h"
#include "directory/TreeRecords.h"

struct tagWEB_PROTOCOL_HEAD;

class CChatCmtTreeCtrl : public CChatTreeBase {
 public:
  CChatCmtTreeCtrl() = default;
  ~CChatCmtTreeCtrl() override { FreeRecords(m_arrItemData); }

  // Categories first, each expanded; then each community under its
  // category's node (the top level when the category has none).
  void InitTree() override;

  // Opens the selected community's conversation: thread id the community
  // prefix and its id, members as the database holds them now; caption,
  // banner, group id and members are set, and it comes to the front.
  void OpenSelected() override;

  tagWEB_PROTOCOL_HEAD* m_pWebHead = nullptr;  // borrowed; may be null
  RecordArray<tag_CommunityItemData> m_arrItemData;

 private:
  void OpenCategories();
};
