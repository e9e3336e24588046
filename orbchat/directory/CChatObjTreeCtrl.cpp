#include "directory/CChatObjTreeCtrl.h"

#include <algorithm>

#include "chat/COrbChat_Mgr.h"
#include "directory/COrbChat_ContactBrowser.h"
#include "directory/COrbChat_ReNameDlg.h"
#include "directory/COrbChat_SelectContactTag.h"
#include "resources/resource.h"

namespace {
constexpr const char* kTagIcon = "tree2.objecttag";
// The tag number of chat objects that stand under no tag (tags are numbered
// from 1).
constexpr int kNoTag = 0;
const TreeTagTexts kTagTexts{CChatDirectory::kChatObjectTags,
                                       kTagIcon,
                                       "\n%s] 标签已经会话对象树上",
                                       "\n已经将分组[%s]添加到会话标签上",
                                       "\n分组名称不能只有空格。",
                                       "\n分组名称不能为空。",
                                       "修改分组名",
                                       "新的组名"};
}  // namespace

BEGIN_MESSAGE_MAP(CChatObjTreeCtrl, CChatTreeBase)
  ON_COMMAND(ID_OBJECT_SEND_MESSAGE, OpenSelected)
  ON_COMMAND(ID_OBJECT_ADD_CONTACT, OnAddContact)
  ON_COMMAND(ID_OBJECT_EDIT_REMARK, OnEditRemark)
  ON_COMMAND(ID_OBJECT_MOVE, OnMoveToTag)
  ON_COMMAND(ID_OBJECT_ADD_TAG, OnAddTag)
  ON_COMMAND(ID_OBJECT_RENAME_TAG, OnRenameTag)
  ON_COMMAND(ID_OBJECT_DELETE_CONTACT, OnDeleteContact)
  ON_COMMAND(ID_OBJECT_DELETE_TAG, OnDeleteTag)
END_MESSAGE_MAP()

CString CChatObjTreeCtrl::RoleIcon(const char* role) {
  CString icon;
  icon.Format("tree2.role.%s", role ? role : "");
  return icon;
}

void CChatObjTreeCtrl::InitTree() {
  CFillGuard guard(*this);
  if (!FillTags(CChatDirectory::kChatObjectTags, kTagIcon, false)) return;
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
    const CString text = record->name;
    const CString icon = RoleIcon(record->role);
    AttachItem(m_arrItemData, std::move(record), text, icon);
  }
}

HTREEITEM CChatObjTreeCtrl::FindContactItem(const char* contactid) const {
  for (const auto& record : m_arrItemData)
    if (record->contactid == contactid) return record->hItem;
  return nullptr;
}

void CChatObjTreeCtrl::OpenSelected() {
  const tag_ChatItemData* record = SelectedObject();
  if (!record) return;
  COrbChat_Form* form = OpenConversation("", record->contactid, "");
  if (!form) return;
  form->SetCaption(record->name);
  Present(*form);
}

bool CChatObjTreeCtrl::PrepareMenu(CMenu& menu, HTREEITEM item) {
  const bool onObject = RecordOf(m_arrItemData, item) != nullptr;
  const bool onTagOrNothing = !item || IsTagNode(item);
  EnableItems(menu, {ID_OBJECT_SEND_MESSAGE, ID_OBJECT_EDIT_REMARK, ID_OBJECT_DELETE_CONTACT, ID_OBJECT_MOVE},
              onObject);
  EnableItems(menu, {ID_OBJECT_RENAME_TAG, ID_OBJECT_DELETE_TAG}, onTagOrNothing);
  EnableItems(menu, {ID_OBJECT_ADD_CONTACT, ID_OBJECT_ADD_TAG}, true);
  return true;
}

void CChatObjTreeCtrl::PlaceObject(tag_ChatItemData& record, int tag) {
  PlaceItem(record, tag, RoleIcon(record.role));
}

void CChatObjTreeCtrl::RemoveObject(const tag_ChatItemData& record) {
  DeleteItem(record.hItem);
  const auto found = std::find_if(m_arrItemData.begin(), m_arrItemData.end(),
                                  [&](const auto& held) { return held.get() == &record; });
  if (found != m_arrItemData.end()) m_arrItemData.erase(found);
}

void CChatObjTreeCtrl::OnAddContact() {
  COrbChat_ContactBrowser browser(this, m_pProtocol, m_pChatMgr);
  if (RunDialog(browser) != IDOK) return;
  const ContactChoice* choice = browser.GetResult();
  if (!choice) return;
  AddContact(choice->contactid, choice->name, choice->role, choice->tag);
  Invalidate();
}

void CChatObjTreeCtrl::AddContact(const char* contactid, const char* name, const char* role, int tag) {
  if (const HTREEITEM item = FindContactItem(contactid)) {
    SelectItem(item);
    const HTREEITEM tagItem = GetParentItem(item);
    const CString tagText = tagItem ? GetItemText(tagItem) : CString();
    CString text;
    text.Format("\n编号\t=  %s\r\n姓名\t=  %s\r\n选中的内容已经在【%s】分组中！", contactid, name,
                tagText.GetString());
    Notify(text);
    return;
  }
  const int added = Directory().AddChatObject(contactid, name, tag, role);
  if (added < 0) {
    ReportNotSaved();
    return;
  }
  auto record = std::make_unique<tag_ChatItemData>();
  record->contactid = contactid;
  record->name = name;
  record->tag = tag;
  record->role = role;
  // A row that is there without a node (put there by the chat manager when
  // a message came) keeps its name and remark and takes the chosen tag, so
  // the node shows what the next fill would show.
  if (added == 0) {
    CString alias, rowName;
    if (Directory().SetChatObjectTag(contactid, tag) == RowChange::Failed ||
        !Directory().ReadChatObjectName(contactid, alias, rowName)) {
      ReportNotSaved();
      return;
    }
    alias.Trim();
    record->name = alias.IsEmpty() ? rowName : alias;
  }
  const CString text = record->name;
  AttachItem(m_arrItemData, std::move(record), text, RoleIcon(role));
}

void CChatObjTreeCtrl::OnAddTag() { AddTagFromDialog(kTagTexts); }

void CChatObjTreeCtrl::OnMoveToTag() {
  tag_ChatItemData* record = SelectedObject();
  if (!record) return;
  COrbChat_SelectContactTag dialog(this, m_pProtocol);
  if (RunDialog(dialog) != IDOK) return;
  const int tag = dialog.m_nSelTag;
  if (tag == record->tag) {
    Notify("\r\n选择的目标分组标签不能与源分组相同\r\n");
    return;
  }
  if (!FindTagItem(tag)) return;
  if (Directory().SetChatObjectTag(record->contactid, tag) == RowChange::Failed) {
    ReportNotSaved();
    return;
  }
  PlaceObject(*record, tag);
  SelectItem(record->hItem);
  Invalidate();
}

// The remark is stored as entered; the node shows it trimmed, or the
// contact's name when it is blank, as the next fill would.
void CChatObjTreeCtrl::OnEditRemark() {
  tag_ChatItemData* record = SelectedObject();
  if (!record) return;
  COrbChat_ReNameDlg dialog(this, record->name);
  dialog.SetCaption("修改别名");
  dialog.SetLabel("新的别名");
  if (RunDialog(dialog) != IDOK) return;
  const RowChange saved = Directory().SetChatObjectAlias(record->contactid, dialog.m_strText);
  if (saved == RowChange::Failed) {
    ReportNotSaved();
    return;
  }
  CString shown = dialog.m_strText;
  shown.Trim();
  CString alias, name;
  if (shown.IsEmpty() && saved == RowChange::Done && Directory().ReadChatObjectName(record->contactid, alias, name))
    shown = name;
  SetItemText(record->hItem, shown);
  record->name = shown;
  Invalidate();
}

void CChatObjTreeCtrl::OnRenameTag() { RenameSelectedTag(kTagTexts); }

void CChatObjTreeCtrl::OnDeleteContact() {
  const tag_ChatItemData* record = SelectedObject();
  if (!record) return;
  CString text;
  text.Format("\n确定要删除联系人【%s】吗？", record->name.GetString());
  if (!Confirm(text)) return;
  if (Directory().DeleteChatObject(record->contactid) == RowChange::Failed) {
    ReportNotSaved();
    return;
  }
  RemoveObject(*record);
  Invalidate();
}

// The tag goes; its chat objects stay, at the top level and under no tag in
// the database, so the user loses nothing but the tag itself. When another
// tag carries the same number the objects stay under that number and go to
// that tag's node.
void CChatObjTreeCtrl::OnDeleteTag() {
  const tag_ChatTagData* record = SelectedTag();
  if (!record) return;
  CString text;
  text.Format("\n确定要删除分组【%s】吗？\r\n其中的联系人将移到最外层。", record->name.GetString());
  if (!Confirm(text)) return;
  const HTREEITEM tagItem = record->hItem;
  const int tag = record->tag;
  const bool shared = std::count_if(m_arrTagData.begin(), m_arrTagData.end(),
                                    [&](const auto& held) { return held->tag == tag; }) > 1;
  bool objectsMoved = false;
  const RowChange deleted = Directory().DeleteChatObjectTag(record->id, tag, !shared, objectsMoved);
  const bool tagGone = deleted != RowChange::Failed;
  if (tagGone)
    m_arrTagData.erase(std::find_if(m_arrTagData.begin(), m_arrTagData.end(),
                                    [&](const auto& held) { return held->hItem == tagItem; }));
  for (const auto& object : m_arrItemData) {
    if (objectsMoved && object->tag == tag)
      PlaceObject(*object, kNoTag);
    else if (tagGone && object->hTagItem == tagItem)
      PlaceObject(*object, object->tag);
  }
  if (tagGone) DeleteItem(tagItem);
  Invalidate();
  if (!tagGone) ReportNotSaved();
}
