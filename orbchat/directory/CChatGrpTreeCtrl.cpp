#include "directory/CChatGrpTreeCtrl.h"

#include <algorithm>

#include "COrbHttp_Protocol_Orb.h"
#include "COrbMsgBrowser.h"
#include "chat/COrbChat_Mgr.h"
#include "directory/COrbChat_GroupManage.h"
#include "directory/COrbChat_ReNameDlg.h"
#include "directory/COrbChat_SelectGroupTag.h"
#include "resources/resource.h"
#include "support/FileUtils.h"

namespace {
constexpr const char* kCategoryIcon = "tree2.grouptag";
constexpr const char* kGroupIcon = "tree2.role.b";
// The category number of groups that stand under no category (categories
// are numbered from 1).
constexpr int kNoCategory = 0;
const TreeTagTexts kCategoryTexts{CChatDirectory::kGroupTags,
                                             kCategoryIcon,
                                             "\n%s] 标签已经群组会话树上",
                                             "\n已经将分类[%s]添加到群组标签上",
                                             "\n分类名称不能只有空格。",
                                             "\n分类名称不能为空。",
                                             "修改分类标签",
                                             "新的标签"};
}  // namespace

BEGIN_MESSAGE_MAP(CChatGrpTreeCtrl, CChatTreeBase)
  ON_COMMAND(ID_GROUP_SEND_MESSAGE, OpenSelected)
  ON_COMMAND(ID_GROUP_NEW, OnNewGroup)
  ON_COMMAND(ID_GROUP_MANAGE_MEMBERS, OnManageMembers)
  ON_COMMAND(ID_GROUP_RENAME, OnRenameGroup)
  ON_COMMAND(ID_GROUP_MOVE, OnMoveGroup)
  ON_COMMAND(ID_GROUP_DELETE, OnDeleteGroup)
  ON_COMMAND(ID_GROUP_ADD_CATEGORY, OnAddCategory)
  ON_COMMAND(ID_GROUP_RENAME_CATEGORY, OnRenameCategory)
  ON_COMMAND(ID_GROUP_DELETE_CATEGORY, OnDeleteCategory)
  ON_COMMAND(ID_GROUP_VIEW_HISTORY, OnViewHistory)
END_MESSAGE_MAP()

void CChatGrpTreeCtrl::InitTree() {
  CFillGuard guard(*this);
  if (!FillTags(CChatDirectory::kGroupTags, kCategoryIcon, false)) return;
  std::vector<ChatGroupRow> rows;
  Directory().ReadGroups(rows);
  for (const ChatGroupRow& row : rows) AttachGroup(row);
}

tag_GroupItemData* CChatGrpTreeCtrl::AttachGroup(const ChatGroupRow& row) {
  auto record = std::make_unique<tag_GroupItemData>();
  record->groupid = row.groupid;
  record->name = row.name;
  record->tag = row.tag;
  record->title = row.title;
  record->members = row.members;
  const tag_GroupItemData* made = record.get();
  AttachItem(m_arrItemData, std::move(record), row.name, kGroupIcon);
  // A refused node drops its record; the array then ends with another one.
  return !m_arrItemData.empty() && m_arrItemData.back().get() == made ? m_arrItemData.back().get() : nullptr;
}

void CChatGrpTreeCtrl::OpenSelected() {
  const tag_GroupItemData* record = SelectedGroup();
  if (!record) return;
  COrbChat_Form* form = OpenConversation("", record->members, "");
  if (!form) return;
  form->SetCaption(record->title);
  Present(*form);
}

bool CChatGrpTreeCtrl::PrepareMenu(CMenu& menu, HTREEITEM item) {
  const bool onGroup = RecordOf(m_arrItemData, item) != nullptr;
  const bool onCategoryOrNothing = !item || IsTagNode(item);
  EnableItems(menu, {ID_GROUP_SEND_MESSAGE, ID_GROUP_RENAME, ID_GROUP_DELETE, ID_GROUP_MANAGE_MEMBERS, ID_GROUP_MOVE},
              onGroup);
  EnableItems(menu, {ID_GROUP_RENAME_CATEGORY, ID_GROUP_DELETE_CATEGORY}, onCategoryOrNothing);
  EnableItems(menu, {ID_GROUP_NEW, ID_GROUP_ADD_CATEGORY, ID_GROUP_VIEW_HISTORY}, true);
  return true;
}

// A saved group shows at once, under its category, as the next fill would
// show it: the user who made it looks for it there.
void CChatGrpTreeCtrl::OnNewGroup() {
  COrbChat_GroupManage dialog(this, m_pProtocol, nullptr);
  if (RunDialog(dialog) != IDOK || !dialog.GetSaved()) return;
  if (const tag_GroupItemData* added = AttachGroup(*dialog.GetSaved())) {
    SelectItem(added->hItem);
    EnsureVisible(added->hItem);
  }
  Invalidate();
}

// Only the title and members change on the tree: name and category cannot
// be changed in the dialog.
void CChatGrpTreeCtrl::OnManageMembers() {
  tag_GroupItemData* record = SelectedGroup();
  if (!record) return;
  ChatGroupRow group{record->groupid, record->name, record->tag, record->title, record->members};
  COrbChat_GroupManage dialog(this, m_pProtocol, &group);
  if (RunDialog(dialog) != IDOK) return;
  record->title = group.title;
  record->members = group.members;
}

// A group name of blanks only is refused, as the group management dialog
// refuses an empty name; the name is stored trimmed.
void CChatGrpTreeCtrl::OnRenameGroup() {
  tag_GroupItemData* record = SelectedGroup();
  if (!record) return;
  COrbChat_ReNameDlg dialog(this, record->name);
  dialog.SetCaption("修改群组名称");
  dialog.SetLabel("新的名称");
  if (RunDialog(dialog) != IDOK) return;
  CString name = dialog.m_strText;
  name.Trim();
  if (name.IsEmpty()) {
    Notify("\n群组名称不能为空。");
    return;
  }
  if (Directory().RenameGroup(record->groupid, name) == RowChange::Failed) {
    ReportNotSaved();
    return;
  }
  SetItemText(record->hItem, name);
  record->name = name;
  Invalidate();
}

void CChatGrpTreeCtrl::OnMoveGroup() {
  tag_GroupItemData* record = SelectedGroup();
  if (!record) return;
  COrbChat_SelectGroupTag dialog(this, m_pProtocol);
  if (RunDialog(dialog) != IDOK) return;
  const int tag = dialog.m_nSelTag;
  if (tag == record->tag) {
    Notify("\r\n选择的目标分类标签不能与源分类相同\r\n");
    return;
  }
  CString text;
  text.Format("\r\n选择的目标分类是 %s(%d)\r\n", dialog.m_strSelName.GetString(), tag);
  Notify(text);
  if (!FindTagItem(tag)) return;
  if (Directory().SetGroupTag(record->groupid, tag) == RowChange::Failed) {
    ReportNotSaved();
    return;
  }
  PlaceItem(*record, tag, kGroupIcon);
  SelectItem(record->hItem);
  Invalidate();
}

void CChatGrpTreeCtrl::OnDeleteGroup() {
  const tag_GroupItemData* record = SelectedGroup();
  if (!record) return;
  CString text;
  text.Format("\n确定要删除讨论组【%s】吗？", record->name.GetString());
  if (!Confirm(text)) return;
  if (Directory().DeleteGroup(record->groupid) == RowChange::Failed) {
    ReportNotSaved();
    return;
  }
  DeleteItem(record->hItem);
  m_arrItemData.erase(std::find_if(m_arrItemData.begin(), m_arrItemData.end(),
                                   [&](const auto& held) { return held.get() == record; }));
  Invalidate();
}

void CChatGrpTreeCtrl::OnAddCategory() { AddTagFromDialog(kCategoryTexts); }

void CChatGrpTreeCtrl::OnRenameCategory() { RenameSelectedTag(kCategoryTexts); }

// The category goes; its groups stay, at the top level and under no
// category in the database, so the user loses nothing but the category.
// When another category carries the same number the groups keep it and go
// to that category's node.
void CChatGrpTreeCtrl::OnDeleteCategory() {
  const tag_GroupTagData* record = SelectedCategory();
  if (!record) return;
  CString text;
  text.Format("\n确定要删除讨论组分类【%s】吗？\r\n其中的讨论组将移到最外层。", record->name.GetString());
  if (!Confirm(text)) return;
  const HTREEITEM tagItem = record->hItem;
  const int tag = record->tag;
  const bool shared = std::count_if(m_arrTagData.begin(), m_arrTagData.end(),
                                    [&](const auto& held) { return held->tag == tag; }) > 1;
  bool groupsMoved = false;
  const RowChange deleted = Directory().DeleteGroupTag(record->id, tag, !shared, groupsMoved);
  const bool tagGone = deleted != RowChange::Failed;
  if (tagGone)
    m_arrTagData.erase(std::find_if(m_arrTagData.begin(), m_arrTagData.end(),
                                    [&](const auto& held) { return held->hItem == tagItem; }));
  for (const auto& group : m_arrItemData) {
    if (groupsMoved && group->tag == tag)
      PlaceItem(*group, kNoCategory, kGroupIcon);
    else if (tagGone && group->hTagItem == tagItem)
      PlaceItem(*group, group->tag, kGroupIcon);
  }
  if (tagGone) DeleteItem(tagItem);
  Invalidate();
  if (!tagGone) ReportNotSaved();
}

void CChatGrpTreeCtrl::OnViewHistory() {
  if (!m_pProtocol) return;
  const CString path = ReplaceExtension(m_pProtocol->GetUserCustomFileName(), ".msg");
  Invalidate();
  UpdateWindow();
  {
    COrbMsgBrowser browser;
    browser.Browser(path, "");
  }
  Invalidate();
}
