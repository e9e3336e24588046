#pragma once
// The tree on the second tab: the user's discussion groups under the user's
// own categories, from CustChatGroupTag and CustChatGroupList. Its menu
// creates groups and manages their members, renames, moves and deletes
// groups, and adds, renames and deletes categories; every change is written
// to the database first and then mirrored in the tree.
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

  // The menu commands, acting on the selected node.
  void OnNewGroup();
  void OnManageMembers();
  void OnRenameGroup();
  void OnMoveGroup();
  void OnDeleteGroup();
  void OnAddCategory();
  void OnRenameCategory();
  void OnDeleteCategory();
  // Shows the user's message history (the ".msg" beside the user's settings
  // file) in the history viewer, whatever is selected; returns when the
  // viewer is closed.
  void OnViewHistory();

  RecordArray<tag_GroupItemData> m_arrItemData;

 protected:
  // Group commands on a group; category commands on a category or empty
  // space; new group, add category and the history always.
  bool PrepareMenu(CMenu& menu, HTREEITEM item) override;

  DECLARE_MESSAGE_MAP()

 private:
  // Attaches a node and record for the row under its category's node (the
  // top level when none); null when the control refuses the node.
  tag_GroupItemData* AttachGroup(const ChatGroupRow& row);
  tag_GroupItemData* SelectedGroup() const { return RecordOf(m_arrItemData, GetSelectedItem()); }
  tag_GroupTagData* SelectedCategory() const { return RecordOf(m_arrTagData, GetSelectedItem()); }
};
