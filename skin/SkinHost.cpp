#include "SkinHost.h"
#include "CSelectObjectGuard.h"

#include <string>

#include "OrbSkin.h"
#include "SkinPainter.h"
#include "SkinPalette.h"
#include "SkinState.h"
#include "SkinWindow.h"

namespace {

constexpr UINT_PTR kHostSubclassId = 0x0B5C2;

SkinState* SkinnedAs(HWND control, int kind) {
  SkinState* state = SkinState::Find(control);
  return state && state->Kind() == kind ? state : nullptr;
}

HGDIOBJ FontOf(HWND wnd) {
  auto font = reinterpret_cast<HFONT>(SendMessageA(wnd, WM_GETFONT, 0, 0));
  return font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT);
}

}  // namespace

void SkinHost::Install(HWND parent) { SetWindowSubclass(parent, Proc, kHostSubclassId, 0); }

bool SkinHost::DrawListBoxEntry(const DRAWITEMSTRUCT& draw) {
  SkinState* state = SkinnedAs(draw.hwndItem, DSK_LISTBOX);
  if (!state) return false;
  CSelectObjectGuard font(draw.hDC, FontOf(draw.hwndItem));
  if (draw.itemID == static_cast<UINT>(-1)) {  // an empty list with the focus
    FillRect(draw.hDC, &draw.rcItem, SkinPalette::Brush("system.pane"));
    return true;
  }
  std::string text;
  if (!SkinWindow::TextOf(*state, draw.itemID, 0, text) && (GetWindowLongA(draw.hwndItem, GWL_STYLE) & LBS_HASSTRINGS)) {
    LRESULT length = SendMessageA(draw.hwndItem, LB_GETTEXTLEN, draw.itemID, 0);
    if (length > 0) {
      text.assign(static_cast<size_t>(length) + 1, '\0');
      length = SendMessageA(draw.hwndItem, LB_GETTEXT, draw.itemID, reinterpret_cast<LPARAM>(text.data()));
      text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    }
  }
  SkinPainter::Entry(draw.hDC, draw.rcItem, SkinWindow::IconOf(*state, draw.itemID, 0), text,
                     (draw.itemState & ODS_SELECTED) != 0, (draw.itemState & ODS_FOCUS) != 0);
  return true;
}

void SkinHost::PaintListCell(SkinState& state, HDC dc, int row, int column) {
  HWND list = state.Window();
  RECT cell{};
  if (column == 0) {
    // The bounds of column 0 are the whole row's; cut them to the column.
    cell.left = LVIR_BOUNDS;
    SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
    cell.right = cell.left + static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0));
  } else {
    cell.top = column;
    cell.left = LVIR_BOUNDS;
    SendMessageA(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
  }
  std::string text;
  if (!SkinWindow::TextOf(state, static_cast<UINT_PTR>(row), column, text)) {
    char buffer[512] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    text = buffer;
  }
  bool selected = SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) != 0;
  CSelectObjectGuard font(dc, FontOf(list));
  SkinPainter::Entry(dc, cell, SkinWindow::IconOf(state, static_cast<UINT_PTR>(row), column), text, selected, false,
                     false);
}

// Rows that hold draw values are drawn whole by the skin, cell by cell;
// other rows keep the list's own drawing.
LRESULT SkinHost::CustomDrawList(SkinState& state, NMLVCUSTOMDRAW& draw) {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      return state.Values().HasItem(draw.nmcd.dwItemSpec) ? CDRF_NOTIFYSUBITEMDRAW : CDRF_DODEFAULT;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
      if (!state.Values().HasItem(draw.nmcd.dwItemSpec)) return CDRF_DODEFAULT;
      PaintListCell(state, draw.nmcd.hdc, static_cast<int>(draw.nmcd.dwItemSpec), draw.iSubItem);
      return CDRF_SKIPDEFAULT;
    default:
      return CDRF_DODEFAULT;
  }
}

// Trees: the selected node in the skin's selection colours.
LRESULT SkinHost::CustomDrawTree(NMTVCUSTOMDRAW& draw) {
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT && (draw.nmcd.uItemState & CDIS_SELECTED)) {
    draw.clrText = SkinPalette::Color("system.font");
    draw.clrTextBk = SkinPalette::Color("system.selected");
  }
  return CDRF_DODEFAULT;
}

// Labels, check boxes and radio buttons of a skinned parent: when the parent
// answers with the system's own colours, the skin's background and text
// colour take their place; the blue label items always get their blue.
LRESULT SkinHost::ControlColour(HWND parent, HDC dc, HWND control, LRESULT original) {
  SkinState* state = SkinState::Find(control);
  if (!state || state->Kind() == 0) return original;
  COLORREF label = 0;
  bool blue = SkinPalette::LabelTextColor(state->Item(), &label);
  auto brush = reinterpret_cast<HBRUSH>(original);
  bool systemDefault = brush == nullptr || brush == GetSysColorBrush(COLOR_BTNFACE);
  SkinState* host = SkinState::Find(parent);
  if (systemDefault && host && host->Kind() != 0) {
    COLORREF background = SkinWindow::BackgroundOf(parent);
    SetBkColor(dc, background);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, IsWindowEnabled(control) ? SkinPalette::Color("system.font") : SkinPalette::Color("system.disabled"));
    original = reinterpret_cast<LRESULT>(SkinPalette::BrushOf(background));
  }
  if (blue) SetTextColor(dc, label);
  return original;
}

LRESULT CALLBACK SkinHost::Proc(HWND wnd, UINT message, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  switch (message) {
    case WM_NCDESTROY:
      RemoveWindowSubclass(wnd, Proc, kHostSubclassId);
      break;
    case WM_DRAWITEM: {
      const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (draw && draw->CtlType == ODT_LISTBOX && DrawListBoxEntry(*draw)) return TRUE;
      break;
    }
    case WM_COMPAREITEM: {
      const auto* compare = reinterpret_cast<const COMPAREITEMSTRUCT*>(lp);
      // The new entry sorts after every existing one: insertion order.
      if (compare && compare->CtlType == ODT_LISTBOX && SkinnedAs(compare->hwndItem, DSK_LISTBOX)) return -1;
      break;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lp);
      if (!header || header->code != static_cast<UINT>(NM_CUSTOMDRAW)) break;
      if (SkinnedAs(header->hwndFrom, DSK_TREE)) return CustomDrawTree(*reinterpret_cast<NMTVCUSTOMDRAW*>(lp));
      SkinState* list = SkinnedAs(header->hwndFrom, DSK_LISTVIEW);
      if (!list || list->Values().ItemCount() == 0) break;
      return CustomDrawList(*list, *reinterpret_cast<NMLVCUSTOMDRAW*>(lp));
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      LRESULT original = DefSubclassProc(wnd, message, wp, lp);
      return ControlColour(wnd, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp), original);
    }
    default:
      break;
  }
  return DefSubclassProc(wnd, message, wp, lp);
}
