#pragma once
// Answers every popup menu tracked through Seams::TrackPopupMenu while it
// lives: records the menu's items (ids, texts, enabled/grayed/checked) as they
// were when it was shown, and chooses a command from a queue (0 = dismissed).
// Like the real call, a chosen command is returned with TPM_RETURNCMD and
// otherwise posted to the owner window as WM_COMMAND.
#include <windows.h>

#include <deque>
#include <vector>

#include "CString.h"

namespace OrbTesting {

struct MenuItemSnapshot {
  UINT id;          // 0 for separators; -1 for a sub-menu
  CString text;
  bool separator;
  bool grayed;      // MF_GRAYED
  bool disabled;    // MF_DISABLED (without gray)
  bool checked;
};

struct TrackedMenu {
  std::vector<MenuItemSnapshot> items;
  UINT flags;
  int x;
  int y;
  HWND owner;
  // The item with this command id, or nullptr.
  const MenuItemSnapshot* Find(UINT id) const;
};

class PopupMenuRecorder {
 public:
  PopupMenuRecorder();
  ~PopupMenuRecorder();
  PopupMenuRecorder(const PopupMenuRecorder&) = delete;
  PopupMenuRecorder& operator=(const PopupMenuRecorder&) = delete;

  void Choose(UINT command) { m_choices.push_back(command); }
  const std::vector<TrackedMenu>& Tracked() const { return m_tracked; }
  size_t Count() const { return m_tracked.size(); }
  const TrackedMenu& Last() const { return m_tracked.back(); }

  static std::vector<MenuItemSnapshot> Snapshot(HMENU menu);

 private:
  UINT Respond(HMENU menu, UINT flags, int x, int y, HWND owner);
  std::deque<UINT> m_choices;
  std::vector<TrackedMenu> m_tracked;
};

}  // namespace OrbTesting
