#pragma once
// A menu: loaded from a module's resources or built, destroyed with the
// object when the object owns it. Sub-menus are wrappers kept by the menu
// object (they live as long as it does and do not own their handle). Popups
// are tracked through Seams::TrackPopupMenu, so tests choose the command.
#include <windows.h>

#include <memory>
#include <vector>

#include "CObject.h"
#include "CString.h"
#include "FrameworkApi.h"

class CWnd;

class ORBFW_API CMenu : public CObject {
 public:
  CMenu();
  ~CMenu() override;
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;

  HMENU m_hMenu = nullptr;

  operator HMENU() const { return m_hMenu; }  // NOLINT
  HMENU GetSafeHmenu() const { return m_hMenu; }

  // Loads a menu resource of the given module (a DLL passes its own handle).
  BOOL LoadMenu(HINSTANCE module, UINT id);
  BOOL CreateMenu();
  BOOL CreatePopupMenu();
  // Takes ownership of a menu handle.
  BOOL Attach(HMENU menu);
  HMENU Detach();
  BOOL DestroyMenu();

  // The popup at a position, or nullptr; the wrapper belongs to this object.
  CMenu* GetSubMenu(int position);
  BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const char* text = nullptr);
  BOOL InsertMenu(UINT position, UINT flags, UINT_PTR id = 0, const char* text = nullptr);
  BOOL DeleteMenu(UINT position, UINT flags);
  BOOL RemoveMenu(UINT position, UINT flags);

  // Previous state, or (UINT)-1 when the item does not exist.
  UINT EnableMenuItem(UINT id, UINT enable);
  DWORD CheckMenuItem(UINT id, UINT check);
  BOOL CheckMenuRadioItem(UINT first, UINT last, UINT item, UINT flags);
  int GetMenuItemCount() const;
  UINT GetMenuItemID(int position) const;
  UINT GetMenuState(UINT id, UINT flags) const;
  int GetMenuString(UINT id, CString& text, UINT flags) const;

  // Shows the popup at screen coordinates with owner as its owner window.
  // With TPM_RETURNCMD the chosen command (0 if none); otherwise non-zero on
  // success, the command being posted to the owner.
  UINT TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT rect = nullptr);

 private:
  bool m_bOwned = false;
  std::vector<std::unique_ptr<CMenu>> m_subMenus;
};
