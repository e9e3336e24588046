#include "directory/CChatTreeBase.h"

#include "OrbADO.h"
#include "OrbSkin.h"

BEGIN_MESSAGE_MAP(CChatTreeBase, CTreeCtrl)
  ON_WM_LBUTTONDBLCLK()
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

bool CChatTreeBase::OpenForReading(COrbADO& db, const char* sql) const {
  if (!db.ConnectAccess(m_strDBPath)) return false;
  if (db.OpenTable(sql, adOpenStatic, adLockReadOnly, adCmdText)) return true;
  db.DisConnect();
  return false;
}

CString CChatTreeBase::ReadText(const COrbADO& db, const char* column) { return db.GetField(column).ToString(); }

int CChatTreeBase::ReadInt(const COrbADO& db, const char* column) { return db.GetField(column).ToInt(); }

// A double click on a tag or category node folds it in or out and keeps it
// in view. The tree's own double-click handling is not run: it would fold the
// node a second time. Conversations open from the other nodes once
// conversation windows exist.
void CChatTreeBase::OnLButtonDblClk(UINT /*flags*/, CPoint /*point*/) {
  CPoint cursor;
  ::GetCursorPos(&cursor);
  ScreenToClient(&cursor);
  HTREEITEM item = HitTest(cursor);
  if (!item || !IsTagNode(item)) return;
  Expand(item, IsExpanded(item) ? TVE_COLLAPSE : TVE_EXPAND);
  EnsureVisible(item);
}
