// Skinning windows: the kind and item recorded and read back, dialog-level
// skinning of children and the no-skin property, the client rectangle,
// backgrounds, self-painting windows, label colours and the drawn parts.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "OrbSkin.h"
#include "PixelCanvas.h"
#include "TestWindow.h"

namespace {

std::string ItemOf(HWND wnd) {
  char buffer[64] = "unchanged";
  int n = dsGetSkinItem(wnd, buffer, sizeof buffer);
  return n < 0 ? "<none>" : buffer;
}

COLORREF BrushColour(HBRUSH brush) {
  LOGBRUSH info{};
  GetObjectA(brush, sizeof info, &info);
  return info.lbColor;
}

// ---------------------------------------------------------------------------
// Recorded kind and item

struct SkinCall {
  int kind;
  const char* item;
  const char* readBack;
};

class RecordedSkin : public ::testing::TestWithParam<SkinCall> {};

TEST_P(RecordedSkin, KindAndItemReadBack) {
  TestWindow parent = TestWindow::Parent();
  HWND button = TestWindow::Child(parent, "Button", BS_PUSHBUTTON, 22000);
  ASSERT_TRUE(dsSkinWindow(button, GetParam().kind, GetParam().item, 0));
  EXPECT_EQ(dsGetSkinKind(button), GetParam().kind);
  EXPECT_EQ(ItemOf(button), GetParam().readBack);
}

INSTANTIATE_TEST_SUITE_P(Calls, RecordedSkin,
                         ::testing::Values(SkinCall{102, nullptr, ""}, SkinCall{105, "TabObject", "TabObject"},
                                           SkinCall{0x6A, "staticdeepblue", "staticdeepblue"},
                                           SkinCall{121, "TreeCtrlChat", "TreeCtrlChat"},
                                           SkinCall{0x6E, "combobox.100", "combobox.100"}));

TEST(RecordedSkinEdges, NeverSkinnedWindowReadsAsNone) {
  TestWindow parent = TestWindow::Parent();
  EXPECT_EQ(dsGetSkinKind(parent), 0);
  EXPECT_EQ(ItemOf(parent), "<none>");
  char buffer[8] = "x";
  EXPECT_EQ(dsGetSkinItem(parent, buffer, sizeof buffer), -1);
  EXPECT_STREQ(buffer, "") << "a caller's buffer is left terminated";
}

TEST(RecordedSkinEdges, SkinningAgainReplacesKindAndItem) {
  TestWindow parent = TestWindow::Parent();
  ASSERT_TRUE(dsSkinWindow(parent, 100, "first", 0));
  ASSERT_TRUE(dsSkinWindow(parent, 101, nullptr, 0));
  EXPECT_EQ(dsGetSkinKind(parent), 101);
  EXPECT_EQ(ItemOf(parent), "");
}

TEST(RecordedSkinEdges, ItemLongerThanTheBufferIsCutAndTerminated) {
  TestWindow parent = TestWindow::Parent();
  ASSERT_TRUE(dsSkinWindow(parent, 106, "staticdeepblue", 0));
  char small[7];
  EXPECT_EQ(dsGetSkinItem(parent, small, sizeof small), 14);  // the full length
  EXPECT_STREQ(small, "static");
  EXPECT_EQ(dsGetSkinItem(parent, nullptr, 0), 14);
}

TEST(RecordedSkinEdges, NoWindowIsRefused) {
  EXPECT_FALSE(dsSkinWindow(nullptr, 100, nullptr, 1));
  EXPECT_EQ(dsGetSkinKind(nullptr), 0);
  HWND gone = nullptr;
  {
    TestWindow parent = TestWindow::Parent();
    gone = parent;
  }
  EXPECT_FALSE(dsSkinWindow(gone, 100, nullptr, 1));
}

// ---------------------------------------------------------------------------
// Dialog-level skinning

struct ChildRow {
  const char* cls;
  DWORD style;
  int kind;  // what skinning the dialog with its children gives the child
};

TEST(DialogSkinning, ChildrenGetKindsByClass) {
  const ChildRow rows[] = {
      {"Button", BS_PUSHBUTTON, 103},        {"Button", BS_DEFPUSHBUTTON, 103},
      {"Button", BS_AUTORADIOBUTTON, 104},   {"Button", BS_AUTOCHECKBOX, 104},
      {"Button", BS_AUTORADIOBUTTON | BS_PUSHLIKE, 103},
      {"Button", BS_GROUPBOX, 0},            {"Button", BS_OWNERDRAW, 0},
      {"Static", SS_LEFT, 106},              {"Edit", WS_BORDER, 107},
      {"ListBox", LBS_NOTIFY, 108},          {WC_LISTVIEWA, LVS_REPORT, 109},
      {"ComboBox", CBS_DROPDOWNLIST, 110},   {WC_TREEVIEWA, TVS_HASBUTTONS, 121},
      {"ScrollBar", SBS_HORZ, 0},
  };
  TestWindow dialog = TestWindow::Parent();
  HWND children[std::size(rows)];
  for (size_t i = 0; i < std::size(rows); ++i) {
    children[i] = TestWindow::Child(dialog, rows[i].cls, rows[i].style, 100 + static_cast<int>(i));
    ASSERT_NE(children[i], nullptr) << rows[i].cls;
  }
  ASSERT_TRUE(dsSkinWindow(dialog, 100, nullptr, 1));
  EXPECT_EQ(dsGetSkinKind(dialog), 100);
  for (size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(dsGetSkinKind(children[i]), rows[i].kind) << rows[i].cls << " style " << std::hex << rows[i].style;
  }
}

TEST(DialogSkinning, WithoutTheFlagChildrenStayUnskinned) {
  TestWindow dialog = TestWindow::Parent();
  HWND edit = TestWindow::Child(dialog, "Edit", WS_BORDER, 1);
  ASSERT_TRUE(dsSkinWindow(dialog, 102, nullptr, 0));
  EXPECT_EQ(dsGetSkinKind(edit), 0);
}

TEST(DialogSkinning, ChildWithTheNoSkinPropertyIsLeftAlone) {
  TestWindow dialog = TestWindow::Parent();
  HWND combo = TestWindow::Child(dialog, "ComboBox", CBS_DROPDOWNLIST, 22055);
  HWND picture = TestWindow::Child(dialog, "Static", SS_BITMAP, 22057);
  HWND label = TestWindow::Child(dialog, "Static", SS_LEFT, -1);
  SetPropA(combo, DS_NO_SKIN_PROPERTY, reinterpret_cast<HANDLE>(1));
  SetPropA(picture, DS_NO_SKIN_PROPERTY, reinterpret_cast<HANDLE>(1));
  ASSERT_TRUE(dsSkinWindow(dialog, 100, nullptr, 1));
  EXPECT_EQ(dsGetSkinKind(combo), 0);
  EXPECT_EQ(dsGetSkinKind(picture), 0);
  EXPECT_EQ(dsGetSkinKind(label), 106);

  // Skinning the marked child by name still applies, as the tag dialogs do.
  ASSERT_TRUE(dsSkinWindow(combo, 110, nullptr, 0));
  EXPECT_EQ(dsGetSkinKind(combo), 110);
  RemovePropA(combo, DS_NO_SKIN_PROPERTY);
  RemovePropA(picture, DS_NO_SKIN_PROPERTY);
}

TEST(DialogSkinning, ChildSkinnedByNameKeepsItsItem) {
  TestWindow dialog = TestWindow::Parent();
  HWND label = TestWindow::Child(dialog, "Static", SS_LEFT, 22078);
  ASSERT_TRUE(dsSkinWindow(label, 106, "staticdeepblue", 0));
  ASSERT_TRUE(dsSkinWindow(dialog, 100, nullptr, 1));
  EXPECT_EQ(ItemOf(label), "staticdeepblue");
}

// ---------------------------------------------------------------------------
// Client rectangle

TEST(ClientRect, DialogsKeepAMarginPanesAndPlainWindowsDoNot) {
  struct Row {
    int kind;  // 0: not skinned
    int inset;
  } rows[] = {{100, 4}, {101, 4}, {102, 0}, {106, 0}, {0, 0}};
  for (const Row& row : rows) {
    TestWindow wnd = TestWindow::Parent();
    if (row.kind) dsSkinWindow(wnd, row.kind, nullptr, 0);
    RECT client{}, skin{};
    GetClientRect(wnd, &client);
    ASSERT_TRUE(dsGetClientRect(wnd, &skin));
    EXPECT_EQ(skin.left, client.left + row.inset) << row.kind;
    EXPECT_EQ(skin.top, client.top + row.inset) << row.kind;
    EXPECT_EQ(skin.right, client.right - row.inset) << row.kind;
    EXPECT_EQ(skin.bottom, client.bottom - row.inset) << row.kind;
  }
}

TEST(ClientRect, TinyWindowGivesAnEmptyNotAnInvertedRectangle) {
  TestWindow dialog = TestWindow::Parent();
  HWND tiny = TestWindow::Child(dialog, "Static", 0, 1, {0, 0, 5, 3});
  dsSkinWindow(tiny, 100, nullptr, 0);
  RECT skin{};
  ASSERT_TRUE(dsGetClientRect(tiny, &skin));
  EXPECT_LE(skin.left, skin.right);
  EXPECT_LE(skin.top, skin.bottom);
}

TEST(ClientRect, BadArgumentsAreRefused) {
  TestWindow wnd = TestWindow::Parent();
  EXPECT_FALSE(dsGetClientRect(wnd, nullptr));
  RECT r{1, 2, 3, 4};
  EXPECT_FALSE(dsGetClientRect(nullptr, &r));
  EXPECT_TRUE(IsRectEmpty(&r));
}

// ---------------------------------------------------------------------------
// Backgrounds and self-painting windows

LRESULT CALLBACK PaintsRedProc(HWND wnd, UINT message, WPARAM wp, LPARAM lp) {
  if (message == WM_ERASEBKGND) {
    RECT rc{};
    GetClientRect(wnd, &rc);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(reinterpret_cast<HDC>(wp), &rc, red);
    DeleteObject(red);
    return 1;
  }
  return DefWindowProcA(wnd, message, wp, lp);
}

TEST(Background, PanesAreWhiteDialogsTheSkinColourSelfPaintersTheirOwn) {
  struct Row {
    int kind;
    bool selfPaint;
    COLORREF expected;
  } rows[] = {
      {102, false, dsGetColor("system.pane")},
      {100, false, dsGetColor("system.background")},
      {101, false, dsGetColor("system.background")},
      {100, true, RGB(255, 0, 0)},
  };
  for (const Row& row : rows) {
    TestWindow wnd = TestWindow::Parent(PaintsRedProc);
    dsSkinWindow(wnd, row.kind, nullptr, 1);
    dsSetSelfPaint(wnd, row.selfPaint);
    EXPECT_EQ(dsIsSelfPaint(wnd), row.selfPaint ? TRUE : FALSE);
    PixelCanvas canvas(50, 50, RGB(1, 2, 3));
    EXPECT_TRUE(SendMessageA(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0));
    EXPECT_EQ(canvas.At(25, 25), row.expected) << "kind " << row.kind << " self-paint " << row.selfPaint;
  }
  EXPECT_EQ(dsGetColor("system.pane"), RGB(255, 255, 255)) << "panes are white";
}

// ---------------------------------------------------------------------------
// Label colours come through the parent's control colour message.

HBRUSH g_ownBrush = nullptr;
LRESULT CALLBACK OwnColoursProc(HWND wnd, UINT message, WPARAM wp, LPARAM lp) {
  if (message == WM_CTLCOLORSTATIC) {
    SetBkColor(reinterpret_cast<HDC>(wp), RGB(255, 248, 255));
    return reinterpret_cast<LRESULT>(g_ownBrush);
  }
  return DefWindowProcA(wnd, message, wp, lp);
}

struct LabelColours {
  COLORREF text;
  COLORREF brush;
};

LabelColours AskColours(HWND parent, HWND label) {
  PixelCanvas canvas(4, 4);
  auto brush = reinterpret_cast<HBRUSH>(SendMessageA(parent, WM_CTLCOLORSTATIC,
                                                     reinterpret_cast<WPARAM>(canvas.Dc()),
                                                     reinterpret_cast<LPARAM>(label)));
  return {GetTextColor(canvas.Dc()), BrushColour(brush)};
}

TEST(LabelColour, BlueItemsAreBlueOnTheDialogBackground) {
  TestWindow dialog = TestWindow::Parent();
  HWND deep = TestWindow::Child(dialog, "Static", SS_LEFT, 22078);
  HWND blue = TestWindow::Child(dialog, "Static", SS_LEFT, 22080);
  HWND plain = TestWindow::Child(dialog, "Static", SS_LEFT, -1);
  dsSkinWindow(dialog, 100, nullptr, 1);
  dsSkinWindow(deep, 106, "staticdeepblue", 0);
  dsSkinWindow(blue, 106, "staticblue", 0);

  LabelColours d = AskColours(dialog, deep);
  EXPECT_EQ(d.text, dsGetColor("staticdeepblue"));
  EXPECT_EQ(d.brush, dsGetColor("system.background"));
  EXPECT_EQ(AskColours(dialog, blue).text, dsGetColor("staticblue"));
  LabelColours p = AskColours(dialog, plain);
  EXPECT_EQ(p.text, dsGetColor("system.font"));
  EXPECT_EQ(p.brush, dsGetColor("system.background"));
}

TEST(LabelColour, ParentsOwnBrushIsKeptButBlueStillApplies) {
  g_ownBrush = CreateSolidBrush(RGB(255, 255, 255));
  TestWindow pane = TestWindow::Parent(OwnColoursProc);
  HWND label = TestWindow::Child(pane, "Static", SS_LEFT, 1);
  dsSkinWindow(pane, 102, nullptr, 1);
  dsSkinWindow(label, 106, "staticblue", 0);
  LabelColours c = AskColours(pane, label);
  EXPECT_EQ(c.brush, RGB(255, 255, 255));
  EXPECT_EQ(c.text, dsGetColor("staticblue"));
  DestroyWindow(pane.Get());
  DeleteObject(g_ownBrush);
}

TEST(LabelColour, UnskinnedParentKeepsSystemColours) {
  TestWindow parent = TestWindow::Parent();
  HWND label = TestWindow::Child(parent, "Static", SS_LEFT, 1);
  dsSkinWindow(label, 106, nullptr, 0);
  EXPECT_EQ(AskColours(parent, label).brush, GetSysColor(COLOR_BTNFACE));
}

// ---------------------------------------------------------------------------
// Drawn parts: tabs, glyph buttons, panes and splitters.

COLORREF CentreAfterPrint(HWND wnd, PixelCanvas& canvas, int x, int y) {
  SendMessageA(wnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
  return canvas.At(x, y);
}

TEST(DrawnParts, CheckedTabIsHighlightedAndShowsItsLabel) {
  TestWindow panel = TestWindow::Parent();
  dsSkinWindow(panel, 102, nullptr, 1);
  HWND tabs[2];
  for (int i = 0; i < 2; ++i) {
    tabs[i] = TestWindow::Child(panel, "Button", BS_AUTORADIOBUTTON | BS_PUSHLIKE, 22000 + i,
                                {2 + i * 70, 0, 70 + i * 70, 24});
    dsSkinWindow(tabs[i], 105, i == 0 ? "TabObject" : "TabGroup", 0);
  }
  SendMessageA(tabs[0], BM_SETCHECK, BST_CHECKED, 0);
  PixelCanvas checked(68, 24), unchecked(68, 24);
  EXPECT_EQ(CentreAfterPrint(tabs[0], checked, 4, 20), dsGetColor("system.tabchecked"));
  EXPECT_EQ(CentreAfterPrint(tabs[1], unchecked, 4, 20), dsGetColor("system.tab"));
  // The label (联系人 / 讨论组) is drawn across the middle.
  EXPECT_GT(checked.CountOther({10, 6, 58, 20}, dsGetColor("system.tabchecked")), 10);
  EXPECT_GT(unchecked.CountOther({10, 6, 58, 20}, dsGetColor("system.tab")), 10);

  // Clicking the second tab moves the highlight.
  SendMessageA(tabs[1], BM_CLICK, 0, 0);
  PixelCanvas after(68, 24);
  EXPECT_EQ(CentreAfterPrint(tabs[0], after, 4, 20), dsGetColor("system.tab"));
  EXPECT_EQ(CentreAfterPrint(tabs[1], after, 4, 20), dsGetColor("system.tabchecked"));
}

TEST(DrawnParts, GlyphButtonsDrawAGlyphNotTheirText) {
  TestWindow form = TestWindow::Parent();
  HWND arrow = TestWindow::Child(form, "Button", BS_PUSHBUTTON, 22085, {0, 0, 16, 22});
  SetWindowTextA(arrow, "Button1");
  dsSkinWindow(arrow, 0x67, "dropdownbutton", 0);
  PixelCanvas canvas(16, 22);
  SendMessageA(arrow, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
  // The arrow's point is at the centre, in the glyph colour; no text.
  EXPECT_EQ(canvas.At(8, 11), dsGetColor("system.glyph"));
  EXPECT_GT(canvas.CountOf({0, 0, 16, 22}, dsGetColor("system.glyph")), 6);
}

TEST(DrawnParts, PaneStaticIsWhiteAndSplittersAreBars) {
  TestWindow form = TestWindow::Parent();
  HWND pane = TestWindow::Child(form, "Static", SS_LEFT, 22029, {0, 0, 60, 40});
  HWND split = TestWindow::Child(form, "Static", SS_LEFT | SS_NOTIFY, 22026, {0, 50, 60, 56});
  SetWindowTextA(split, "水平分隔");
  dsSkinWindow(pane, 0x6A, "static", 0);
  dsSkinWindow(split, 0x6A, "SplitHorizontal", 0);
  PixelCanvas white(60, 40, RGB(1, 2, 3));
  EXPECT_EQ(CentreAfterPrint(pane, white, 30, 20), RGB(255, 255, 255));
  PixelCanvas bar(60, 6, RGB(1, 2, 3));
  SendMessageA(split, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(bar.Dc()), PRF_CLIENT);
  // Only the bar and its grip: the splitter's own text is not shown.
  RECT all{0, 0, 60, 6};
  EXPECT_EQ(bar.CountOf(all, dsGetColor("system.split")) + bar.CountOf(all, dsGetColor("system.splitgrip")), 360);
}

}  // namespace
