#include "CMenu.h"

#include <utility>

#include "CWnd.h"
#include "Seams.h"

CMenu::CMenu() = default;

CMenu::~CMenu() { DestroyMenu(); }

BOOL CMenu::LoadMenu(HINSTANCE module, UINT id) { return Attach(::LoadMenuA(module, MAKEINTRESOURCEA(id))); }

BOOL CMenu::CreateMenu() { return Attach(::CreateMenu()); }

BOOL CMenu::CreatePopupMenu() { return Attach(::CreatePopupMenu()); }

BOOL CMenu::Attach(HMENU menu) {
  if (!menu) return FALSE;
  DestroyMenu();
  m_hMenu = menu;
  m_bOwned = true;
  return TRUE;
}

HMENU CMenu::Detach() {
  m_subMenus.clear();
  m_bOwned = false;
  return std::exchange(m_hMenu, nullptr);
}

BOOL CMenu::DestroyMenu() {
  m_subMenus.clear();
  HMENU menu = std::exchange(m_hMenu, nullptr);
  const bool owned = std::exchange(m_bOwned, false);
  return menu && owned ? ::DestroyMenu(menu) : FALSE;
}

CMenu* CMenu::GetSubMenu(int position) {
  HMENU sub = m_hMenu ? ::GetSubMenu(m_hMenu, position) : nullptr;
  if (!sub) return nullptr;
  for (auto& wrapper : m_subMenus)
    if (wrapper->m_hMenu == sub) return wrapper.get();
  auto wrapper = std::make_unique<CMenu>();
  wrapper->m_hMenu = sub;  // borrowed: the parent menu destroys it
  m_subMenus.push_back(std::move(wrapper));
  return m_subMenus.back().get();
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const char* text) { return ::AppendMenuA(m_hMenu, flags, id, text); }

BOOL CMenu::InsertMenu(UINT position, UINT flags, UINT_PTR id, const char* text) {
  return ::InsertMenuA(m_hMenu, position, flags, id, text);
}

BOOL CMenu::DeleteMenu(UINT position, UINT flags) {
  m_subMenus.clear();
  return ::DeleteMenu(m_hMenu, position, flags);
}

BOOL CMenu::RemoveMenu(UINT position, UINT flags) {
  m_subMenus.clear();
  return ::RemoveMenu(m_hMenu, position, flags);
}

UINT CMenu::EnableMenuItem(UINT id, UINT enable) {
  return static_cast<UINT>(::EnableMenuItem(m_hMenu, id, enable));
}

DWORD CMenu::CheckMenuItem(UINT id, UINT check) { return ::CheckMenuItem(m_hMenu, id, check); }

BOOL CMenu::CheckMenuRadioItem(UINT first, UINT last, UINT item, UINT flags) {
  return ::CheckMenuRadioItem(m_hMenu, first, last, item, flags);
}

int CMenu::GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }

UINT CMenu::GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }

UINT CMenu::GetMenuState(UINT id, UINT flags) const { return ::GetMenuState(m_hMenu, id, flags); }

int CMenu::GetMenuString(UINT id, CString& text, UINT flags) const {
  const int length = ::GetMenuStringA(m_hMenu, id, nullptr, 0, flags);
  if (length <= 0) {
    text.Empty();
    return 0;
  }
  char* buffer = text.GetBufferSetLength(length + 1);
  const int copied = ::GetMenuStringA(m_hMenu, id, buffer, length + 1, flags);
  text.ReleaseBuffer(copied);
  return copied;
}

UINT CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT) {
  if (!m_hMenu) return 0;
  return Seams::TrackPopupMenu(m_hMenu, flags, x, y, owner ? owner->m_hWnd : nullptr);
}
