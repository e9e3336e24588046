#pragma once
// Reads a tree back for assertions: its nodes as one line of text with each
// node's icon, and a check that every node carries exactly one of the
// records the tree owns, with the record pointing back at the node and at
// its parent.
#include <string>

#include "CTreeCtrl.h"
#include "OrbSkin.h"
#include "directory/CChatTreeBase.h"

// "text<icon>(child<icon>,child<icon>) next<icon>": nodes in tree order,
// children in parentheses, siblings at the top level separated by a blank.
std::string OutlineOf(const CTreeCtrl& tree);
std::string IconOf(const CTreeCtrl& tree, HTREEITEM item);

// Empty when the invariants hold, else what is wrong. Tag records must sit
// at the top level; an item record's hTagItem must be its node's parent.
template <class TagRecord, class ItemRecord>
std::string CheckRecords(const CTreeCtrl& tree, const RecordArray<TagRecord>& tags,
                         const RecordArray<ItemRecord>& items) {
  std::string problems;
  size_t nodes = 0;
  for (HTREEITEM top = tree.GetRootItem(); top; top = tree.GetNextSiblingItem(top)) {
    ++nodes;
    for (HTREEITEM child = tree.GetChildItem(top); child; child = tree.GetNextSiblingItem(child)) ++nodes;
  }
  if (nodes != tags.size() + items.size()) problems += "node and record counts differ; ";
  for (const auto& record : tags) {
    if (tree.GetItemData(record->hItem) != reinterpret_cast<DWORD_PTR>(record.get()))
      problems += "a tag node does not carry its record; ";
    if (tree.GetParentItem(record->hItem)) problems += "a tag node is not at the top level; ";
  }
  for (const auto& record : items) {
    if (tree.GetItemData(record->hItem) != reinterpret_cast<DWORD_PTR>(record.get()))
      problems += "an item node does not carry its record; ";
    if (tree.GetParentItem(record->hItem) != record->hTagItem) problems += "an item's parent is not its tag node; ";
  }
  return problems;
}
