#pragma once
// The tree on the second tab: the user's discussion groups under the user's
// own categories, from CustChatGroupTag and CustChatGroupList.
#include "directory/CChatTreeBase.h"
#include "directory/TreeRecords.h"

class CChatGrpTreeCtrl : public CChatTreeBase {
 public:
  CChatGrpTreeCtrl() = default;
  ~CChatGrpTreeCtrl() override;

  // Categories first, then each group under its category's node (the top
  // level when the category has none).
  void InitTree() override;

  HTREEITEM FindTagItem(int tag) const { return FindByTag(m_arrTagData, tag); }
  // Exact, case-sensitive comparison.
  HTREEITEM FindTagItemByName(const char* name) const;

  RecordArray<tag_GroupTagData> m_arrTagData;
  RecordArray<tag_GroupItemData> m_arrItemData;

 protected:
  bool IsTagNode(HTREEITEM item) const override { return HoldsNode(m_arrTagData, item); }

 private:
  bool FillCategories();
  void FillGroups();
};
