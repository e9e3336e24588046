#include "PopupMenuRecorder.h"

#include "Seams.h"

namespace OrbTesting {

const MenuItemSnapshot* TrackedMenu::Find(UINT id) const {
  for (const MenuItemSnapshot& item : items)
    if (!item.separator && item.id == id) return &item;
  return nullptr;
}

PopupMenuRecorder::PopupMenuRecorder() {
  Seams::SetTrackPopupMenu(
      [this](HMENU menu, UINT flags, int x, int y, HWND owner) { return Respond(menu, flags, x, y, owner); });
}

PopupMenuRecorder::~PopupMenuRecorder() { Seams::SetTrackPopupMenu(nullptr); }

std::vector<MenuItemSnapshot> PopupMenuRecorder::Snapshot(HMENU menu) {
  std::vector<MenuItemSnapshot> items;
  const int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    char text[256] = {};
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
    info.dwTypeData = text;
    info.cch = sizeof text - 1;
    if (!::GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    MenuItemSnapshot item{};
    item.separator = (info.fType & MFT_SEPARATOR) != 0;
    item.id = info.hSubMenu ? static_cast<UINT>(-1) : (item.separator ? 0 : info.wID);
    item.text = text;
    const UINT state = ::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    item.grayed = (state & MF_GRAYED) != 0;
    item.disabled = (state & MF_DISABLED) != 0;
    item.checked = (state & MF_CHECKED) != 0;
    items.push_back(item);
  }
  return items;
}

UINT PopupMenuRecorder::Respond(HMENU menu, UINT flags, int x, int y, HWND owner) {
  m_tracked.push_back(TrackedMenu{Snapshot(menu), flags, x, y, owner});
  UINT command = 0;
  if (!m_choices.empty()) {
    command = m_choices.front();
    m_choices.pop_front();
  }
  if (flags & TPM_RETURNCMD) return command;
  if (command && owner) ::PostMessageA(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
  return TRUE;
}

}  // namespace OrbTesting
