#include "directory/CChatTreeBase.h"

#include "OrbSkin.h"
#include "CDialog.h"
#include "chat/COrbChat_Mgr.h"
#include "directory/COrbChat_EditTag.h"
#include "directory/COrbChat_ReNameDlg.h"

BEGIN_MESSAGE_MAP(CChatTreeBase, CTreeCtrl)
  ON_WM_LBUTTONDBLCLK()
  ON_WM_RBUTTONDOWN()
END_MESSAGE_MAP()

void CChatTreeBase::SetNodeIcon(HTREEITEM item, const char* icon) {
  dsSetDrawItemValueEx(m_hWnd, item, 0, kIconKey, icon, 0);
}

HTREEITEM CChatTreeBase::InsertNode(const char* text, HTREEITEM parent, LPARAM data) {
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent ? parent : TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM;
  insert.item.pszText = const_cast<char*>(text ? text : "");
  insert.item.lParam = data;
  return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

HTREEITEM CChatTreeBase::FindTagItem(int tag) const {
  for (const auto& record : m_arrTagData)
    if (record->tag == tag) return record->hItem;
  return nullptr;
}

HTREEITEM CChatTreeBase::FindTagItemByName(const char* name) const {
  for (const auto& record : m_arrTagData)
    if (record->name == name) return record->hItem;
  return nullptr;
}

bool CChatTreeBase::FillTags(const char* table, const char* icon, bool expand) {
  std::vector<ChatTagRow> rows;
  if (!Directory().ReadTags(table, rows)) return false;
  for (const ChatTagRow& row : rows) {
    auto record = std::make_unique<tag_TagData>();
    record->id = row.id;
    record->tag = row.tag;
    record->name = row.name;
    HTREEITEM item = AttachRecord(m_arrTagData, std::move(record), nullptr, row.name, icon);
    if (item && expand) Expand(item, TVE_EXPAND);
  }
  return true;
}

COrbChat_Form* CChatTreeBase::OpenConversation(const char* threadId, const char* members, const char* groupId) const {
  if (!m_pProtocol || !m_pChatMgr) return nullptr;
  return m_pChatMgr->OpenForm(threadId, members, groupId);
}

void CChatTreeBase::Present(COrbChat_Form& form) {
  form.ShowWindow(SW_RESTORE);
  ::SetForegroundWindow(form.m_hWnd);
}

// A double click on a tag or category node folds it in or out and keeps it
// in view; on any other node it opens that node's conversation. The tree's
// own double-click handling is not run: it would fold the node a second time.
void CChatTreeBase::OnLButtonDblClk(UINT /*flags*/, CPoint /*point*/) {
  CPoint cursor;
  ::GetCursorPos(&cursor);
  ScreenToClient(&cursor);
  HTREEITEM item = HitTest(cursor);
  if (!item) return;
  if (IsTagNode(item)) {
    Expand(item, IsExpanded(item) ? TVE_COLLAPSE : TVE_EXPAND);
    EnsureVisible(item);
    return;
  }
  SelectItem(item);
  OpenSelected();
}

void CChatTreeBase::OnRButtonDown(UINT /*flags*/, CPoint point) {
  const HTREEITEM item = HitTest(point);
  if (!m_pMenu || !PrepareMenu(*m_pMenu, item)) {
    Default();
    return;
  }
  CPoint screen = point;
  ClientToScreen(&screen);
  dsTrackPopupMenu(m_pMenu->m_hMenu, TPM_RIGHTBUTTON, screen.x, screen.y, m_hWnd, nullptr);
}

void CChatTreeBase::EnableItems(CMenu& menu, std::initializer_list<UINT> ids, bool enable) {
  for (UINT id : ids) menu.EnableMenuItem(id, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_DISABLED | MF_GRAYED));
}

INT_PTR CChatTreeBase::RunDialog(CDialog& dialog) {
  Invalidate();
  UpdateWindow();
  const INT_PTR result = dialog.DoModal();
  Invalidate();
  return result;
}

void CChatTreeBase::Notify(const char* text) const { dsMessageBox(m_hWnd, text, "提示", MB_OK | MB_ICONEXCLAMATION); }

bool CChatTreeBase::Confirm(const char* text) const {
  return dsMessageBox(m_hWnd, text, "提示", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void CChatTreeBase::ReportNotSaved() const {
  Notify("\n本地数据库无法写入（可能被其他程序占用或只读），修改没有保存。");
}

void CChatTreeBase::AddTagFromDialog(const TreeTagTexts& texts) {
  COrbChat_EditTag dialog(this);
  if (RunDialog(dialog) != IDOK) return;
  CString name = dialog.m_strText;
  name.Trim();
  if (name.IsEmpty()) {
    Notify(texts.blankAdd);
    return;
  }
  ChatTagRow row;
  const int added = Directory().AddTagRow(texts.table, name, row);
  if (added < 0) {
    ReportNotSaved();
    return;
  }
  CString text;
  if (FindTagItemByName(name) || (added == 0 && FindTagItem(row.tag))) {
    text.Format(texts.onTree, name.GetString());
    Notify(text);
    Invalidate();
    return;
  }
  // A name found in the table (ignoring case and blanks) without a node of
  // exactly that name gets a node for that row: its own number and id.
  auto record = std::make_unique<tag_TagData>();
  record->id = row.id;
  record->tag = row.tag;
  record->name = added > 0 ? name : row.name;
  const CString shown = record->name;
  AttachRecord(m_arrTagData, std::move(record), nullptr, shown, texts.icon);
  text.Format(texts.added, shown.GetString());
  Notify(text);
  Invalidate();
}

// A tag name of blanks only is refused: the tag would show as an empty node.
void CChatTreeBase::RenameSelectedTag(const TreeTagTexts& texts) {
  tag_TagData* record = RecordOf(m_arrTagData, GetSelectedItem());
  if (!record) return;
  COrbChat_ReNameDlg dialog(this, record->name);
  dialog.SetCaption(texts.caption);
  dialog.SetLabel(texts.label);
  if (RunDialog(dialog) != IDOK) return;
  CString name = dialog.m_strText;
  name.Trim();
  if (name.IsEmpty()) {
    Notify(texts.blankRename);
    return;
  }
  if (Directory().RenameTag(texts.table, record->id, name) == RowChange::Failed) {
    ReportNotSaved();
    return;
  }
  SetItemText(record->hItem, name);
  record->name = name;
  Invalidate();
}
