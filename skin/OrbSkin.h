#pragma once
// OrbSkin.dll: the skinning layer of the messenger's windows.
//
// A window is skinned with a numeric kind and an optional item name; the skin
// records both on the window and gives it a plain, consistent look: light
// dialogs, white panes, tab buttons that look like tabs, blue labels, and
// trees, lists and list boxes that show an icon and a text per entry. Colours
// are looked up by item name. Message boxes and popup menus go through the
// framework's seams, so tests can answer them.
#include <windows.h>
#include <commctrl.h>

#include "SkinApi.h"

// Kinds of window the skin knows. Other values are recorded but get no look.
#define DSK_DIALOG 100    // modal dialog
#define DSK_FRAME 101     // resizable top-level window
#define DSK_PANE 102      // borderless child panel: white
#define DSK_BUTTON 103    // push button; items "btnface", "btnimage", "btnscrcap", "dropdownbutton" draw a glyph
#define DSK_CHECKBOX 104  // check box or radio button (given by dialog-level skinning)
#define DSK_TAB 105       // push-like radio button drawn as a tab; items "TabObject", "TabGroup", "TabCommunity"
#define DSK_STATIC 106    // label; items "static" (white pane), "staticdeepblue", "staticblue",
                          // "SplitHorizontal", "SplitVertical"
#define DSK_EDIT 107
#define DSK_LISTBOX 108   // owner-drawn list boxes show the draw values "ico" and "itemName"
#define DSK_LISTVIEW 109  // report lists show per-cell icons and texts
#define DSK_COMBOBOX 110
#define DSK_TREE 121      // trees show the "treeitemicon" of each node

// A child carrying this property is left alone when its dialog is skinned
// with its children (bSkinChildren non-zero). Skinning it by name still works.
#define DS_NO_SKIN_PROPERTY "#2008_dskin_set_this_hwnd_no_skin"

#ifdef __cplusplus
extern "C" {
#endif

// Records nKind and szItem (may be null) on hWnd and applies the look. With
// bSkinChildren non-zero every direct child that is not yet skinned and does
// not carry DS_NO_SKIN_PROPERTY is skinned too, with a kind chosen from its
// class. Skinning a window again replaces its kind and item. FALSE when hWnd
// is not a window.
ORBSKIN_API BOOL dsSkinWindow(HWND hWnd, int nKind, const char* szItem, int bSkinChildren);

// The recorded kind, 0 when the window was never skinned.
ORBSKIN_API int dsGetSkinKind(HWND hWnd);
// Copies the recorded item (possibly empty) into buffer (size bytes with the
// terminating zero) and returns its length; -1 when the window was never
// skinned. With a null buffer or size 0 only the length is returned.
ORBSKIN_API int dsGetSkinItem(HWND hWnd, char* buffer, int size);

// Per-entry draw values. nItem is a list box or list view index, or a tree
// node handle (see the overloads below); nSubItem a list view column, else 0.
// Keys are matched without regard to case:
//   "treeitemicon" (trees), "ico" - name of the entry's icon;
//   "itemName", "textdefault"     - text shown instead of the entry's own text.
// Indexes follow the list when entries are inserted or deleted; values of
// deleted tree nodes are dropped. A null value removes the key.
ORBSKIN_API BOOL dsSetDrawItemValueEx(HWND hWnd, UINT_PTR nItem, int nSubItem, const char* szKey, const char* szValue,
                                      int nFlag);
// Copies a stored value and returns its length; -1 when there is none.
ORBSKIN_API int dsGetDrawItemValue(HWND hWnd, UINT_PTR nItem, int nSubItem, const char* szKey, char* buffer, int size);
// The style of one cell: an icon name ("role.a", "tree2.role.b", ...) shows
// that icon; "textdefault" shows the cell's own text in the default colour.
// A null or empty style removes it. Stored under the key "style".
ORBSKIN_API BOOL dsSetItemStyle(HWND hWnd, UINT_PTR nItem, int nSubItem, const char* szStyle);

// Colour of a skin item, 0x00BBGGRR: "system.border", "system.font",
// "system.warning", "system.background", "system.pane", "system.selected",
// "staticdeepblue", "staticblue" and the others listed in skin/README.md.
// Unknown names give the "system.font" colour.
ORBSKIN_API COLORREF dsGetColor(const char* szItem);

// The part of the client area available to controls: the client rectangle
// less the skin's margin (4 pixels on each side for dialogs and frames, none
// for panes and controls).
ORBSKIN_API BOOL dsGetClientRect(HWND hWnd, RECT* pRect);
// Invalidates pRect (null: the whole client area) of the window and its
// children, erasing the background when bErase is non-zero.
ORBSKIN_API BOOL dsInvalidateRect(HWND hWnd, const RECT* pRect, BOOL bErase);
// A self-painting window paints its own background; the skin then leaves
// its background erasing to the window.
ORBSKIN_API BOOL dsSetSelfPaint(HWND hWnd, BOOL bSelfPaint);
ORBSKIN_API BOOL dsIsSelfPaint(HWND hWnd);

// Shows a popup menu at screen coordinates, like TrackPopupMenu (prcRect is
// ignored). With TPM_RETURNCMD the chosen command is returned; otherwise it
// is posted to hWnd as WM_COMMAND and the result is TRUE. A command that is
// disabled, grayed or not in the menu counts as no choice.
ORBSKIN_API UINT dsTrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, HWND hWnd, const RECT* prcRect);
// A message box, as MessageBoxA; null texts show as empty.
ORBSKIN_API int dsMessageBox(HWND hWnd, const char* szText, const char* szCaption, UINT uType);

// Draws a skin icon: "tree2.role.<code>", "tree2.objecttag", "tree2.grouptag",
// "tree2.communitytag" (16 x 16) and "role.<code>" (20 x 20). The caller
// destroys it with DestroyIcon. Null for other names.
ORBSKIN_API HICON dsCreateIcon(const char* szName);

#ifdef __cplusplus
}  // extern "C"

#include <type_traits>

// Tree nodes are passed as their handles; integers of any type are indexes.
template <typename Node, typename = std::enable_if_t<std::is_pointer_v<Node>>>
inline BOOL dsSetDrawItemValueEx(HWND hWnd, Node hItem, int nSubItem, const char* szKey, const char* szValue,
                                 int nFlag) {
  return dsSetDrawItemValueEx(hWnd, reinterpret_cast<UINT_PTR>(hItem), nSubItem, szKey, szValue, nFlag);
}
template <typename Node, typename = std::enable_if_t<std::is_pointer_v<Node>>>
inline int dsGetDrawItemValue(HWND hWnd, Node hItem, int nSubItem, const char* szKey, char* buffer, int size) {
  return dsGetDrawItemValue(hWnd, reinterpret_cast<UINT_PTR>(hItem), nSubItem, szKey, buffer, size);
}
template <typename Node, typename = std::enable_if_t<std::is_pointer_v<Node>>>
inline BOOL dsSetItemStyle(HWND hWnd, Node hItem, int nSubItem, const char* szStyle) {
  return dsSetItemStyle(hWnd, reinterpret_cast<UINT_PTR>(hItem), nSubItem, szStyle);
}
#endif
