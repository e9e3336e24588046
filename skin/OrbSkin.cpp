// The exported ds* functions: argument checks, then the skin's classes.
#include "OrbSkin.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "Seams.h"
#include "SkinIcons.h"
#include "SkinPalette.h"
#include "SkinState.h"
#include "SkinWindow.h"

namespace {

// Copies text into a caller's buffer, cut to fit; returns the full length.
int CopyOut(const std::string& text, char* buffer, int size) {
  if (buffer && size > 0) {
    size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
  }
  return static_cast<int>(text.size());
}

// After a value changes: trees show the node's icon, lists repaint.
void ShowValueChange(SkinState& state, UINT_PTR item) {
  if (state.ControlClass() == SkinState::Control::Tree) {
    SkinWindow::RefreshTreeNode(state, item);
  } else {
    InvalidateRect(state.Window(), nullptr, FALSE);
  }
}

// The popup and its submenus: is this command there and can it be chosen?
bool IsChoosable(HMENU menu, UINT command) {
  UINT flags = GetMenuState(menu, command, MF_BYCOMMAND);
  return flags != static_cast<UINT>(-1) && !(flags & (MF_DISABLED | MF_GRAYED | MF_POPUP | MF_SEPARATOR));
}

}  // namespace

extern "C" {

BOOL dsSkinWindow(HWND hWnd, int nKind, const char* szItem, int bSkinChildren) {
  if (!hWnd || !IsWindow(hWnd)) return FALSE;
  SkinState& state = SkinState::Attach(hWnd);
  state.SetSkin(nKind, szItem ? szItem : "");
  if (bSkinChildren) {
    for (HWND child = GetWindow(hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      if (GetPropA(child, DS_NO_SKIN_PROPERTY)) continue;
      if (dsGetSkinKind(child) != 0) continue;  // skinned by name already
      int kind = SkinWindow::KindForChild(child);
      if (kind == 0) continue;
      SkinState& childState = SkinState::Attach(child);
      childState.SetSkin(kind, "");
      SkinWindow::ApplyLook(childState);
    }
  }
  SkinWindow::ApplyLook(state);
  return TRUE;
}

int dsGetSkinKind(HWND hWnd) {
  SkinState* state = SkinState::Find(hWnd);
  return state ? state->Kind() : 0;
}

int dsGetSkinItem(HWND hWnd, char* buffer, int size) {
  SkinState* state = SkinState::Find(hWnd);
  if (!state || state->Kind() == 0) {
    CopyOut({}, buffer, size);
    return -1;
  }
  return CopyOut(state->Item(), buffer, size);
}

BOOL dsSetDrawItemValueEx(HWND hWnd, UINT_PTR nItem, int nSubItem, const char* szKey, const char* szValue,
                          int /*nFlag*/) {
  if (!hWnd || !IsWindow(hWnd) || !szKey || !*szKey || nSubItem < 0) return FALSE;
  SkinState& state = SkinState::Attach(hWnd);
  if (szValue) {
    state.Values().Set(nItem, nSubItem, szKey, szValue);
  } else {
    state.Values().Remove(nItem, nSubItem, szKey);
  }
  ShowValueChange(state, nItem);
  return TRUE;
}

int dsGetDrawItemValue(HWND hWnd, UINT_PTR nItem, int nSubItem, const char* szKey, char* buffer, int size) {
  SkinState* state = SkinState::Find(hWnd);
  const std::string* value = state && szKey ? state->Values().Find(nItem, nSubItem, szKey) : nullptr;
  if (!value) {
    CopyOut({}, buffer, size);
    return -1;
  }
  return CopyOut(*value, buffer, size);
}

BOOL dsSetItemStyle(HWND hWnd, UINT_PTR nItem, int nSubItem, const char* szStyle) {
  return dsSetDrawItemValueEx(hWnd, nItem, nSubItem, "style", szStyle && *szStyle ? szStyle : nullptr, 0);
}

COLORREF dsGetColor(const char* szItem) { return SkinPalette::Color(szItem ? szItem : ""); }

BOOL dsGetClientRect(HWND hWnd, RECT* pRect) {
  if (!pRect) return FALSE;
  SetRectEmpty(pRect);
  if (!hWnd || !IsWindow(hWnd) || !GetClientRect(hWnd, pRect)) return FALSE;
  int margin = SkinWindow::MarginOf(dsGetSkinKind(hWnd));
  // A window smaller than its margins keeps an empty rectangle, never an
  // inverted one.
  pRect->left = std::min<LONG>(margin, pRect->right / 2);
  pRect->top = std::min<LONG>(margin, pRect->bottom / 2);
  pRect->right = std::max(pRect->left, pRect->right - margin);
  pRect->bottom = std::max(pRect->top, pRect->bottom - margin);
  return TRUE;
}

BOOL dsInvalidateRect(HWND hWnd, const RECT* pRect, BOOL bErase) {
  if (!hWnd || !IsWindow(hWnd)) return FALSE;
  UINT flags = RDW_INVALIDATE | RDW_ALLCHILDREN | (bErase ? RDW_ERASE : 0);
  return RedrawWindow(hWnd, pRect, nullptr, flags);
}

BOOL dsSetSelfPaint(HWND hWnd, BOOL bSelfPaint) {
  if (!hWnd || !IsWindow(hWnd)) return FALSE;
  SkinState::Attach(hWnd).SetSelfPaint(bSelfPaint != FALSE);
  return TRUE;
}

BOOL dsIsSelfPaint(HWND hWnd) {
  SkinState* state = SkinState::Find(hWnd);
  return state && state->SelfPaint();
}

UINT dsTrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, HWND hWnd, const RECT* /*prcRect*/) {
  if (!hMenu || !IsMenu(hMenu)) return 0;
  // The choice always comes back here, so that a command that cannot be
  // chosen is dropped and the owner gets exactly one WM_COMMAND.
  UINT command = Seams::TrackPopupMenu(hMenu, uFlags | TPM_RETURNCMD, x, y, hWnd);
  if (command != 0 && !IsChoosable(hMenu, command)) command = 0;
  if (uFlags & TPM_RETURNCMD) return command;
  if (command != 0 && hWnd && IsWindow(hWnd)) PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(command, 0), 0);
  return TRUE;
}

int dsMessageBox(HWND hWnd, const char* szText, const char* szCaption, UINT uType) {
  return Seams::ShowMessageBox(hWnd, szText ? szText : "", szCaption ? szCaption : "", uType);
}

HICON dsCreateIcon(const char* szName) { return SkinIcons::Create(szName ? szName : ""); }

}  // extern "C"
