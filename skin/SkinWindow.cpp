#include "SkinWindow.h"
#include "CBitmap.h"
#include "CSelectObjectGuard.h"

#include <commctrl.h>

#include <vector>

#include "OrbSkin.h"
#include "SkinHost.h"
#include "SkinIcons.h"
#include "SkinPainter.h"
#include "SkinPalette.h"
#include "SkinState.h"

namespace {

constexpr UINT_PTR kSubclassId = 0x0B5C1;
constexpr int kDialogMargin = 4;
constexpr int kTreeItemHeight = 20;

std::string WindowText(HWND wnd) {
  int n = GetWindowTextLengthA(wnd);
  std::string text(static_cast<size_t>(n) + 1, '\0');
  n = GetWindowTextA(wnd, text.data(), n + 1);
  text.resize(static_cast<size_t>(n > 0 ? n : 0));
  return text;
}

bool IsContainer(int kind) { return kind == DSK_DIALOG || kind == DSK_FRAME || kind == DSK_PANE; }

void RedrawNow(HWND wnd) {
  if (IsWindow(wnd)) RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

}  // namespace

void SkinWindow::Subclass(HWND wnd, SkinState* state) {
  SetWindowSubclass(wnd, Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(state));
}

COLORREF SkinWindow::BackgroundOf(HWND wnd) {
  SkinState* state = SkinState::Find(wnd);
  int kind = state ? state->Kind() : 0;
  if (kind == DSK_PANE) return SkinPalette::Color("system.pane");
  if (kind == DSK_DIALOG || kind == DSK_FRAME) return SkinPalette::Color("system.background");
  return GetSysColor(COLOR_BTNFACE);
}

int SkinWindow::MarginOf(int kind) { return kind == DSK_DIALOG || kind == DSK_FRAME ? kDialogMargin : 0; }

int SkinWindow::KindForChild(HWND child) {
  char name[64] = {};
  GetClassNameA(child, name, sizeof name);
  const LONG style = GetWindowLongA(child, GWL_STYLE);
  if (lstrcmpiA(name, "Button") == 0) {
    switch (style & BS_TYPEMASK) {
      case BS_PUSHBUTTON:
      case BS_DEFPUSHBUTTON:
        return DSK_BUTTON;
      case BS_GROUPBOX:
      case BS_OWNERDRAW:
        return 0;
      default:
        return (style & BS_PUSHLIKE) ? DSK_BUTTON : DSK_CHECKBOX;
    }
  }
  static const struct {
    const char* name;
    int kind;
  } kKinds[] = {
      {"Static", DSK_STATIC},          {"Edit", DSK_EDIT},          {"ListBox", DSK_LISTBOX},
      {WC_LISTVIEWA, DSK_LISTVIEW},    {"ComboBox", DSK_COMBOBOX},  {WC_TREEVIEWA, DSK_TREE},
  };
  for (const auto& entry : kKinds) {
    if (lstrcmpiA(name, entry.name) == 0) return entry.kind;
  }
  return 0;
}

std::string SkinWindow::IconOf(SkinState& state, UINT_PTR item, int subItem) {
  for (const char* key : {"treeitemicon", "ico"}) {
    if (const std::string* value = state.Values().Find(item, subItem, key)) return *value;
  }
  const std::string* style = state.Values().Find(item, subItem, "style");
  return style && SkinIcons::IsIconName(*style) ? *style : std::string();
}

bool SkinWindow::TextOf(SkinState& state, UINT_PTR item, int subItem, std::string& text) {
  for (const char* key : {"itemName", "textdefault"}) {
    if (const std::string* value = state.Values().Find(item, subItem, key)) {
      text = *value;
      return true;
    }
  }
  return false;
}

void SkinWindow::ApplyLook(SkinState& state) {
  HWND wnd = state.Window();
  HWND parent = GetParent(wnd);
  if (parent && (GetWindowLongA(wnd, GWL_STYLE) & WS_CHILD)) SkinHost::Install(parent);
  switch (state.ControlClass()) {
    case SkinState::Control::Tree:
      if (state.Kind() != DSK_TREE) break;
      SendMessageA(wnd, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(SkinPalette::Color("system.pane")));
      SendMessageA(wnd, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(SkinPalette::Color("system.font")));
      SendMessageA(wnd, TVM_SETLINECOLOR, 0, static_cast<LPARAM>(SkinPalette::Color("system.selectedborder")));
      SendMessageA(wnd, TVM_SETITEMHEIGHT, kTreeItemHeight, 0);
      state.TreeImage("");  // the image list, so every node keeps room for an icon
      for (UINT_PTR node : state.Values().Items()) RefreshTreeNode(state, node);
      break;
    case SkinState::Control::ListView:
      if (state.Kind() != DSK_LISTVIEW) break;
      SendMessageA(wnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
      SendMessageA(wnd, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(SkinPalette::Color("system.pane")));
      SendMessageA(wnd, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(SkinPalette::Color("system.pane")));
      break;
    default:
      break;
  }
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void SkinWindow::RefreshTreeNode(SkinState& state, UINT_PTR node) {
  if (state.ControlClass() != SkinState::Control::Tree || state.Kind() != DSK_TREE || node == 0) return;
  TVITEMA item{};
  item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  item.hItem = reinterpret_cast<HTREEITEM>(node);
  item.iImage = item.iSelectedImage = state.TreeImage(IconOf(state, node, 0));
  SendMessageA(state.Window(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

// ---------------------------------------------------------------------------
// Entries: the values of list entries move with their index; those of a
// deleted tree node and its descendants go with it.

std::vector<UINT_PTR> SkinWindow::NodeAndDescendants(HWND tree, HTREEITEM node) {
  std::vector<UINT_PTR> nodes;
  std::vector<HTREEITEM> pending{node};
  while (!pending.empty()) {
    HTREEITEM current = pending.back();
    pending.pop_back();
    nodes.push_back(reinterpret_cast<UINT_PTR>(current));
    auto child = reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(current)));
    for (; child; child = reinterpret_cast<HTREEITEM>(
                      SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)))) {
      pending.push_back(child);
    }
  }
  return nodes;
}

bool SkinWindow::FollowEntries(SkinState& state, UINT message, WPARAM wp, LPARAM lp, LRESULT& result) {
  HWND wnd = state.Window();
  DrawValueTable& values = state.Values();
  switch (state.ControlClass()) {
    case SkinState::Control::ListBox:
      if (message == LB_ADDSTRING || message == LB_INSERTSTRING) {
        result = DefSubclassProc(wnd, message, wp, lp);
        if (result >= 0) values.InsertIndex(static_cast<UINT_PTR>(result));
        return true;
      }
      if (message == LB_DELETESTRING) {
        result = DefSubclassProc(wnd, message, wp, lp);
        if (result != LB_ERR) values.RemoveIndex(wp);
        return true;
      }
      if (message == LB_RESETCONTENT) values.Clear();
      return false;
    case SkinState::Control::ListView:
      if (message == LVM_INSERTITEMA || message == LVM_INSERTITEMW) {
        result = DefSubclassProc(wnd, message, wp, lp);
        if (result >= 0) values.InsertIndex(static_cast<UINT_PTR>(result));
        return true;
      }
      if (message == LVM_DELETEITEM) {
        result = DefSubclassProc(wnd, message, wp, lp);
        if (result) values.RemoveIndex(wp);
        return true;
      }
      if (message == LVM_DELETEALLITEMS) values.Clear();
      return false;
    case SkinState::Control::Tree:
      if (message == TVM_DELETEITEM) {
        auto node = reinterpret_cast<HTREEITEM>(lp);
        bool all = node == nullptr || node == TVI_ROOT;
        // Collect before the tree forgets the node's children.
        std::vector<UINT_PTR> gone;
        if (!all && values.ItemCount() != 0) gone = NodeAndDescendants(wnd, node);
        result = DefSubclassProc(wnd, message, wp, lp);
        if (result && all) values.Clear();
        if (result) {
          for (UINT_PTR item : gone) values.RemoveItem(item);
        }
        return true;
      }
      return false;
    default:
      return false;
  }
}

// ---------------------------------------------------------------------------
// Dialogs, frames and panes: the skin paints the background, unless the
// window paints its own.

LRESULT SkinWindow::Container(SkinState& state, UINT message, WPARAM wp, LPARAM lp) {
  HWND wnd = state.Window();
  if (message != WM_ERASEBKGND || state.SelfPaint()) return DefSubclassProc(wnd, message, wp, lp);
  DefSubclassProc(wnd, message, wp, lp);  // the window's own handler still runs
  RECT client{};
  GetClientRect(wnd, &client);
  FillRect(reinterpret_cast<HDC>(wp), &client, SkinPalette::BrushOf(BackgroundOf(wnd)));
  return TRUE;
}

// ---------------------------------------------------------------------------
// Push buttons and tabs are drawn whole by the skin. The button control also
// paints itself outside WM_PAINT when its state changes, so after each such
// message the skin paints over it at once.

bool SkinWindow::IsDrawnButton(const SkinState& state) {
  if (state.ControlClass() != SkinState::Control::Button) return false;
  if (state.Kind() == DSK_TAB) return true;
  if (state.Kind() != DSK_BUTTON) return false;
  LONG style = GetWindowLongA(state.Window(), GWL_STYLE);
  LONG type = style & BS_TYPEMASK;
  if (type == BS_GROUPBOX || type == BS_OWNERDRAW) return false;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || (style & BS_PUSHLIKE);
}

void SkinWindow::PaintButton(SkinState& state, HDC dc) {
  HWND wnd = state.Window();
  RECT rc{};
  GetClientRect(wnd, &rc);
  SkinPainter::ButtonLook look;
  LRESULT buttonState = SendMessageA(wnd, BM_GETSTATE, 0, 0);
  look.pressed = (buttonState & BST_PUSHED) != 0;
  look.checked = (buttonState & BST_CHECKED) != 0;
  look.hot = state.Hot();
  look.focused = GetFocus() == wnd;
  look.enabled = IsWindowEnabled(wnd) != FALSE;
  look.isDefault = (GetWindowLongA(wnd, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(wnd, WM_GETFONT, 0, 0));
  CSelectObjectGuard selectFont(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  COLORREF parentBk = BackgroundOf(GetParent(wnd));
  if (state.Kind() == DSK_TAB) {
    SkinPainter::Tab(dc, rc, SkinPainter::TabLabel(state.Item(), WindowText(wnd)), look, parentBk);
  } else {
    SkinPainter::Button(dc, rc, WindowText(wnd), state.Item(), look, parentBk);
  }
}

void SkinWindow::PaintBuffered(SkinState& state, HDC target, void (*paint)(SkinState&, HDC)) {
  RECT rc{};
  GetClientRect(state.Window(), &rc);
  HDC mem = CreateCompatibleDC(target);
  CBitmap buffer(CreateCompatibleBitmap(target, rc.right > 0 ? rc.right : 1, rc.bottom > 0 ? rc.bottom : 1));
  if (!mem || buffer.IsNull()) {
    if (mem) DeleteDC(mem);
    paint(state, target);
    return;
  }
  {
    CSelectObjectGuard select(mem, buffer.GetSafeHandle());
    paint(state, mem);
    BitBlt(target, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
  }
  DeleteDC(mem);
}

// The painting messages every self-drawn control answers alike: paint through
// a memory bitmap, paint into a given DC on request, never erase separately.
bool SkinWindow::AnswerPaint(SkinState& state, UINT message, WPARAM wp, void (*paint)(SkinState&, HDC),
                             LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(state.Window(), &ps);
      PaintBuffered(state, dc, paint);
      EndPaint(state.Window(), &ps);
      return true;
    }
    case WM_PRINTCLIENT:
      paint(state, reinterpret_cast<HDC>(wp));
      return true;
    case WM_ERASEBKGND:
      result = TRUE;
      return true;
    default:
      return false;
  }
}

LRESULT SkinWindow::DrawnButton(SkinState& state, UINT message, WPARAM wp, LPARAM lp) {
  HWND wnd = state.Window();
  LRESULT painted = 0;
  if (AnswerPaint(state, message, wp, PaintButton, painted)) return painted;
  switch (message) {
    case WM_MOUSEMOVE:
      if (!state.Hot()) {
        state.SetHot(true);
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, wnd, 0};
        TrackMouseEvent(&track);
        InvalidateRect(wnd, nullptr, FALSE);
      }
      return DefSubclassProc(wnd, message, wp, lp);
    case WM_MOUSELEAVE:
      state.SetHot(false);
      InvalidateRect(wnd, nullptr, FALSE);
      return DefSubclassProc(wnd, message, wp, lp);
    case BM_SETCHECK:
    case BM_SETSTATE:
    case BM_SETSTYLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CAPTURECHANGED:
    case WM_UPDATEUISTATE: {
      // The state is not touched afterwards: a click may close the dialog.
      LRESULT result = DefSubclassProc(wnd, message, wp, lp);
      RedrawNow(wnd);
      return result;
    }
    default:
      return DefSubclassProc(wnd, message, wp, lp);
  }
}

// ---------------------------------------------------------------------------
// Statics named "static" are white panes, "SplitHorizontal" and
// "SplitVertical" splitter bars; both are drawn whole. Other labels keep
// their own drawing and take their colours from the parent (SkinHost).

bool SkinWindow::IsDrawnStatic(const SkinState& state) {
  if (state.ControlClass() != SkinState::Control::Static || state.Kind() != DSK_STATIC) return false;
  const std::string& item = state.Item();
  return lstrcmpiA(item.c_str(), "static") == 0 || lstrcmpiA(item.c_str(), "SplitHorizontal") == 0 ||
         lstrcmpiA(item.c_str(), "SplitVertical") == 0;
}

void SkinWindow::PaintStatic(SkinState& state, HDC dc) {
  HWND wnd = state.Window();
  RECT rc{};
  GetClientRect(wnd, &rc);
  const std::string& item = state.Item();
  if (lstrcmpiA(item.c_str(), "static") == 0) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(wnd, WM_GETFONT, 0, 0));
    CSelectObjectGuard selectFont(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SkinPainter::Pane(dc, rc, WindowText(wnd));
  } else {
    SkinPainter::Splitter(dc, rc, lstrcmpiA(item.c_str(), "SplitVertical") == 0);
  }
}

LRESULT SkinWindow::DrawnStatic(SkinState& state, UINT message, WPARAM wp, LPARAM lp) {
  HWND wnd = state.Window();
  LRESULT painted = 0;
  if (AnswerPaint(state, message, wp, PaintStatic, painted)) return painted;
  switch (message) {
    case WM_SETTEXT:
    case WM_ENABLE:
    case STM_SETIMAGE:
    case STM_SETICON: {
      LRESULT result = DefSubclassProc(wnd, message, wp, lp);
      RedrawNow(wnd);
      return result;
    }
    default:
      return DefSubclassProc(wnd, message, wp, lp);
  }
}

// ---------------------------------------------------------------------------

LRESULT CALLBACK SkinWindow::Proc(HWND wnd, UINT message, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  auto* state = reinterpret_cast<SkinState*>(data);
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(wnd, Proc, kSubclassId);
    LRESULT result = DefSubclassProc(wnd, message, wp, lp);
    SkinState::Detach(wnd);
    return result;
  }
  LRESULT result = 0;
  if (FollowEntries(*state, message, wp, lp, result)) return result;
  if (IsContainer(state->Kind())) return Container(*state, message, wp, lp);
  if (IsDrawnButton(*state)) return DrawnButton(*state, message, wp, lp);
  if (IsDrawnStatic(*state)) return DrawnStatic(*state, message, wp, lp);
  return DefSubclassProc(wnd, message, wp, lp);
}
