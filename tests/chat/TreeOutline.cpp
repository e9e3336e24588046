#include "TreeOutline.h"

std::string IconOf(const CTreeCtrl& tree, HTREEITEM item) {
  char icon[128] = {};
  if (dsGetDrawItemValue(tree.GetSafeHwnd(), item, 0, CChatTreeBase::kIconKey, icon, sizeof icon) < 0) return "-";
  return icon;
}

namespace {
std::string NodeText(const CTreeCtrl& tree, HTREEITEM item) {
  return std::string(tree.GetItemText(item).GetString()) + "<" + IconOf(tree, item) + ">";
}
}  // namespace

std::string OutlineOf(const CTreeCtrl& tree) {
  std::string text;
  for (HTREEITEM top = tree.GetRootItem(); top; top = tree.GetNextSiblingItem(top)) {
    if (!text.empty()) text += " ";
    text += NodeText(tree, top);
    std::string children;
    for (HTREEITEM child = tree.GetChildItem(top); child; child = tree.GetNextSiblingItem(child))
      children += (children.empty() ? "" : ",") + NodeText(tree, child);
    if (!children.empty()) text += "(" + children + ")";
  }
  return text;
}
