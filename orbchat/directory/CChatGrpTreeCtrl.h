#pragma once
// The tree on the second tab: the user's discussion groups under the user's
// own categories, from CustChatGroupTag and CustChatGroupList.
#include "directory/CChatTreeBase.h"
#include "directory/TreeRecords.h"

class CChatGrpTreeCtrl : public CChatTreeBase {
 public:
  CChatGrpTreeCtrl() = default;
  ~CChatGrpTreeCtrl() override { FreeRecords(m_arrItemData); }

  // Categories first, then each group under its category's node (the top
  // level when the category has none).
  void InitTree() override;

  // Opens (or finds) the conversation of the selected group's members,
  // gives it the group's title as caption and brings it to the front.
  void OpenSelected() override;

  RecordArray<tag_GroupItemData> m_arrItemData;

 protected:
  DECLARE_MESSAGE_MAP()
};
