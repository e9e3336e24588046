#pragma once
// What the three trees of the host panel share: the borrowed menu, server
// session object and chat manager, the database path, the owned records on
// the nodes, the node icons and the double click on a tag or category node.
//
// The host panel sets m_pMenu, m_pProtocol and m_pChatMgr, then calls
// SetDBPath and InitTree once.
#include <initializer_list>
#include <memory>
#include <vector>

#include "CMenu.h"
#include "CString.h"
#include "CTreeCtrl.h"
#include "directory/CChatDirectory.h"
#include "directory/TreeRecords.h"

class CDialog;
class COrbChat_Form;
class COrbChat_Mgr;
class COrbHttp_Protocol_Orb;

template <class Record>
using RecordArray = std::vector<std::unique_ptr<Record>>;

// The texts of the tag commands that the trees word differently.
struct TreeTagTexts {
  const char* table;       // the tag table
  const char* icon;        // the icon value of a tag node
  const char* onTree;      // "%s": a tag of that name is on the tree
  const char* added;       // "%s": the tag was added
  const char* blankAdd;    // a new name of blanks only was refused
  const char* blankRename; // a changed name of blanks only was refused
  const char* caption;     // rename dialog caption
  const char* label;       // rename dialog label
};

class CChatTreeBase : public CTreeCtrl {
 public:
  // Frees the tag records after the derived tree has freed its items.
  ~CChatTreeBase() override { FreeRecords(m_arrTagData); }

  CMenu* m_pMenu = nullptr;                      // popup for right clicks, borrowed; may be null
  COrbHttp_Protocol_Orb* m_pProtocol = nullptr;  // borrowed; may be null
  COrbChat_Mgr* m_pChatMgr = nullptr;            // borrowed

  void SetDBPath(const char* path) { m_strDBPath = path ? path : ""; }
  const CString& GetDBPath() const { return m_strDBPath; }
  // Fills the tree from the local chat database; nodes are appended in the
  // order the rows come.
  virtual void InitTree() = 0;
  // Opens the conversation of the selected item node (a chat object, group
  // or community); nothing on a tag node, without a node, without a server
  // session object or chat manager.
  virtual void OpenSelected() = 0;

  // Linear scans in array order; the first match's node, or null.
  HTREEITEM FindTagItem(int tag) const;
  // Exact, case-sensitive comparison.
  HTREEITEM FindTagItemByName(const char* name) const;

  // The skin's icon key of the tree's nodes.
  static constexpr const char* kIconKey = "treeitemicon";

  // The tags or categories, one per top-level tag node.
  RecordArray<tag_TagData> m_arrTagData;

 protected:
  // True for the node of a tag or category record (as opposed to a chat
  // object, group or community).
  bool IsTagNode(HTREEITEM item) const { return HoldsNode(m_arrTagData, item); }
  CChatDirectory Directory() const { return CChatDirectory(m_strDBPath); }

  // Makes a top-level node for every row of the tag table, in the order the
  // rows come (each expanded when expand is set); false, and no node, when
  // the table cannot be read.
  bool FillTags(const char* table, const char* icon, bool expand);
  // The record of the item node, when the node is one of records.
  template <class Record>
  static Record* RecordOf(const RecordArray<Record>& records, HTREEITEM item) {
    for (const auto& record : records)
      if (item && record->hItem == item) return record.get();
    return nullptr;
  }
  // The window of a target from the chat manager; null without one, or
  // without a server session object.
  COrbChat_Form* OpenConversation(const char* threadId, const char* members, const char* groupId) const;
  // Shows a window the tree opened: restored and in front of the others.
  static void Present(COrbChat_Form& form);

  // Attaches an item record under the node of its tag (the top level when
  // the tag has no node) and remembers that node in the record.
  template <class Record>
  void AttachItem(RecordArray<Record>& records, std::unique_ptr<Record> record, const char* text, const char* icon) {
    record->hTagItem = FindTagItem(record->tag);
    const HTREEITEM parent = record->hTagItem;
    AttachRecord(records, std::move(record), parent, text, icon);
  }

  // Makes the node of record under the node of tag (the top level when the
  // tag has none) with the record's name and icon; the old node, if any,
  // goes. The record follows: its node, tag node and tag number.
  template <class Record>
  void PlaceItem(Record& record, int tag, const char* icon) {
    const HTREEITEM tagItem = FindTagItem(tag);
    const HTREEITEM item = InsertNode(record.name, tagItem, reinterpret_cast<LPARAM>(&record));
    if (!item) return;
    SetNodeIcon(item, icon);
    if (record.hItem) DeleteItem(record.hItem);
    record.hItem = item;
    record.hTagItem = tagItem;
    record.tag = tag;
  }

  // Asks for a name with the add-tag dialog and adds the tag: its row when
  // the name is new, and a node unless one carries the name or the row.
  void AddTagFromDialog(const TreeTagTexts& texts);
  // Renames the selected tag node's tag: the row first, then the node.
  void RenameSelectedTag(const TreeTagTexts& texts);

  void SetNodeIcon(HTREEITEM item, const char* icon);
  // Appends a node with its item data in one message.
  HTREEITEM InsertNode(const char* text, HTREEITEM parent, LPARAM data);
  // Keeps the tree from repainting while it is filled, and repaints it once
  // at the end.
  class CFillGuard {
   public:
    explicit CFillGuard(CTreeCtrl& tree) : m_tree(tree) { m_tree.SetRedraw(FALSE); }
    ~CFillGuard() {
      m_tree.SetRedraw(TRUE);
      m_tree.Invalidate();
    }
    CFillGuard(const CFillGuard&) = delete;
    CFillGuard& operator=(const CFillGuard&) = delete;

   private:
    CTreeCtrl& m_tree;
  };
  // Inserts a node with text under parent (the top level when parent is
  // null), attaches the record to it and sets its icon; the array takes the
  // record. Null, and the record dropped, when the control refuses the node.
  template <class Record>
  HTREEITEM AttachRecord(RecordArray<Record>& records, std::unique_ptr<Record> record, HTREEITEM parent,
                         const char* text, const char* icon) {
    HTREEITEM item = InsertNode(text, parent, reinterpret_cast<LPARAM>(record.get()));
    if (!item) return nullptr;
    record->hItem = item;
    SetNodeIcon(item, icon);
    records.push_back(std::move(record));
    return item;
  }
  template <class Record>
  static bool HoldsNode(const RecordArray<Record>& records, HTREEITEM item) {
    for (const auto& record : records)
      if (record->hItem == item) return true;
    return false;
  }
  // Frees the records, last first.
  template <class Record>
  static void FreeRecords(RecordArray<Record>& records) {
    while (!records.empty()) records.pop_back();
  }

  void OnLButtonDblClk(UINT flags, CPoint point);
  // Shows m_pMenu for the node under point (client coordinates; the
  // selection is not changed) once PrepareMenu has enabled its items; the
  // chosen command comes back to the tree and acts on the selected node.
  // Without a menu, or when the tree has no commands, the default
  // processing runs.
  void OnRButtonDown(UINT flags, CPoint point);
  // Enables and grays the menu's items for item (null on empty space);
  // false when the tree offers no menu.
  virtual bool PrepareMenu(CMenu& /*menu*/, HTREEITEM /*item*/) { return false; }
  static void EnableItems(CMenu& menu, std::initializer_list<UINT> ids, bool enable);

  // Runs a dialog modally over the tree, repainting the tree just before and
  // just after, so no trace of the menu or the dialog stays on it.
  INT_PTR RunDialog(CDialog& dialog);
  // A notice owned by the tree: caption "提示", exclamation icon, OK.
  void Notify(const char* text) const;
  // Asks a yes/no question; true for yes.
  bool Confirm(const char* text) const;
  // Tells the user a change could not be saved (the database is locked,
  // read-only or missing); the tree was left as it was.
  void ReportNotSaved() const;

  CString m_strDBPath;

  DECLARE_MESSAGE_MAP()
};
