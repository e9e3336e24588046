#pragma once
// The tree on the first tab: the user's chat objects (contacts) under the
// user's own tags, from CustChatObjectTag and CustChatObjectList.
#include "directory/CChatTreeBase.h"
#include "directory/TreeRecords.h"

class CChatObjTreeCtrl : public CChatTreeBase {
 public:
  CChatObjTreeCtrl() = default;
  ~CChatObjTreeCtrl() override { FreeRecords(m_arrItemData); }

  // Tags first, each a top-level node; then each chat object under the node
  // of its tag, or at the top level when its tag has no node. A database or
  // tag table that cannot be opened leaves the tree as it is.
  void InitTree() override;

  // Opens (or finds) the conversation with the selected chat object, gives
  // it the object's name as caption and brings it to the front. A chat
  // object at the top level (its tag has no row) opens like any other.
  void OpenSelected() override;

  // Linear scan in array order; the first match's node, or null.
  HTREEITEM FindContactItem(const char* contactid) const;

  RecordArray<tag_ChatItemData> m_arrItemData;

 protected:
  DECLARE_MESSAGE_MAP()
};
