#pragma once
// The tree on the first tab: the user's chat objects (contacts) under the
// user's own tags, from CustChatObjectTag and CustChatObjectList. Its menu
// adds contacts and tags, moves a contact to another tag, sets a contact's
// remark, renames a tag and deletes contacts and tags; every change is
// written to the database first and then mirrored in the tree, which is
// never reloaded.
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

  // The menu commands, acting on the selected node.
  void OnAddContact();
  void OnEditRemark();
  void OnMoveToTag();
  void OnAddTag();
  void OnRenameTag();
  void OnDeleteContact();
  void OnDeleteTag();

  // Puts the contact on the tree under the tag numbered tag and into the
  // database, or selects its node and says where it stands when it is
  // there already.
  void AddContact(const char* contactid, const char* name, const char* role, int tag);

  RecordArray<tag_ChatItemData> m_arrItemData;

 protected:
  // Object commands on a chat object; tag commands on a tag or empty space;
  // adding a contact or a tag always.
  bool PrepareMenu(CMenu& menu, HTREEITEM item) override;

  DECLARE_MESSAGE_MAP()

 private:
  tag_ChatItemData* SelectedObject() const { return RecordOf(m_arrItemData, GetSelectedItem()); }
  tag_ChatTagData* SelectedTag() const { return RecordOf(m_arrTagData, GetSelectedItem()); }
  // Makes the node of record under the node of tag (the top level when the
  // tag has none), with the record's name and role icon; the old node, if
  // any, goes. The record follows: its node, tag node and tag number.
  void PlaceObject(tag_ChatItemData& record, int tag);
  // Takes the record and its node out of the tree.
  void RemoveObject(const tag_ChatItemData& record);
  static CString RoleIcon(const char* role);
};
