// Per-entry draw values: stored per entry and cell, kept in step with list
// indexes and tree nodes, and drawn as an icon and a text.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OrbSkin.h"
#include "PixelCanvas.h"
#include "TestWindow.h"

namespace {

std::string Value(HWND wnd, UINT_PTR item, int sub, const char* key) {
  char buffer[128] = "unchanged";
  return dsGetDrawItemValue(wnd, item, sub, key, buffer, sizeof buffer) < 0 ? "<none>" : buffer;
}

std::string TreeValue(HWND tree, HTREEITEM node, const char* key) {
  char buffer[128] = "unchanged";
  return dsGetDrawItemValue(tree, node, 0, key, buffer, sizeof buffer) < 0 ? "<none>" : buffer;
}

// The members list of a conversation: owner-drawn, sorted, entries without text.
HWND MembersList(HWND pane) {
  return TestWindow::Child(pane, "ListBox", LBS_OWNERDRAWFIXED | LBS_SORT | LBS_NOTIFY | WS_VSCROLL, 22010,
                           {0, 0, 200, 200});
}

void AddMember(HWND list, const char* name, const char* icon, LPARAM data) {
  LRESULT entry = SendMessageA(list, LB_ADDSTRING, 0, data);
  ASSERT_GE(entry, 0);
  dsSetDrawItemValueEx(list, static_cast<UINT_PTR>(entry), 0, "itemName", name, 0);
  dsSetDrawItemValueEx(list, static_cast<UINT_PTR>(entry), 0, "ico", icon, 0);
}

// ---------------------------------------------------------------------------
// List box

class MembersListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dsSkinWindow(m_pane, 0x66, nullptr, 0);
    m_list = MembersList(m_pane);
    SendMessageA(m_list, LB_SETITEMHEIGHT, 0, 24);
    dsSkinWindow(m_list, 0x6C, "listMembers", 0);
    AddMember(m_list, "张三", "tree2.role.a", 1);
    AddMember(m_list, "李四", "tree2.role.b", 2);
    AddMember(m_list, "王五", "tree2.role.c", 3);
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    int count = static_cast<int>(SendMessageA(m_list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) names.push_back(Value(m_list, static_cast<UINT_PTR>(i), 0, "itemName"));
    return names;
  }
  TestWindow m_pane = TestWindow::Parent();
  HWND m_list = nullptr;
};

TEST_F(MembersListTest, ValuesReadBackPerEntryAndKeysIgnoreCase) {
  EXPECT_EQ(Names(), (std::vector<std::string>{"张三", "李四", "王五"}));
  EXPECT_EQ(Value(m_list, 1, 0, "ICO"), "tree2.role.b");
  EXPECT_EQ(Value(m_list, 1, 0, "textdefault"), "<none>");
  EXPECT_EQ(Value(m_list, 3, 0, "itemName"), "<none>");
}

TEST_F(MembersListTest, SortedOwnerDrawnListKeepsInsertionOrder) {
  for (int i = 0; i < 3; ++i) EXPECT_EQ(SendMessageA(m_list, LB_GETITEMDATA, i, 0), i + 1);
  AddMember(m_list, "赵六", "tree2.role.a", 4);
  EXPECT_EQ(SendMessageA(m_list, LB_GETITEMDATA, 3, 0), 4);
  EXPECT_EQ(Names().back(), "赵六");
}

TEST_F(MembersListTest, ValuesFollowDeletionsInsertionsAndReset) {
  SendMessageA(m_list, LB_DELETESTRING, 0, 0);
  EXPECT_EQ(Names(), (std::vector<std::string>{"李四", "王五"}));
  EXPECT_EQ(Value(m_list, 2, 0, "itemName"), "<none>");

  LRESULT at = SendMessageA(m_list, LB_INSERTSTRING, 1, 9);
  ASSERT_EQ(at, 1);
  EXPECT_EQ(Value(m_list, 1, 0, "itemName"), "<none>") << "a new entry starts without values";
  EXPECT_EQ(Value(m_list, 2, 0, "itemName"), "王五");

  SendMessageA(m_list, LB_DELETESTRING, 7, 0);  // no such entry: nothing moves
  EXPECT_EQ(Value(m_list, 2, 0, "itemName"), "王五");

  SendMessageA(m_list, LB_RESETCONTENT, 0, 0);
  EXPECT_EQ(Value(m_list, 0, 0, "itemName"), "<none>");
}

TEST_F(MembersListTest, NullValueRemovesAKeyAndBadCallsAreRefused) {
  EXPECT_TRUE(dsSetDrawItemValueEx(m_list, 0, 0, "ico", nullptr, 0));
  EXPECT_EQ(Value(m_list, 0, 0, "ico"), "<none>");
  EXPECT_EQ(Value(m_list, 0, 0, "itemName"), "张三");
  EXPECT_FALSE(dsSetDrawItemValueEx(m_list, 0, 0, nullptr, "x", 0));
  EXPECT_FALSE(dsSetDrawItemValueEx(m_list, 0, 0, "", "x", 0));
  EXPECT_FALSE(dsSetDrawItemValueEx(nullptr, 0, 0, "ico", "x", 0));
}

TEST_F(MembersListTest, EntryIsDrawnWithItsIconAndName) {
  PixelCanvas canvas(200, 24);
  DRAWITEMSTRUCT draw{};
  draw.CtlType = ODT_LISTBOX;
  draw.CtlID = 22010;
  draw.itemID = 0;
  draw.itemAction = ODA_DRAWENTIRE;
  draw.hwndItem = m_list;
  draw.hDC = canvas.Dc();
  draw.rcItem = {0, 0, 200, 24};
  EXPECT_TRUE(SendMessageA(m_pane, WM_DRAWITEM, 22010, reinterpret_cast<LPARAM>(&draw)));
  const COLORREF white = RGB(255, 255, 255);
  EXPECT_GT(canvas.CountOther({3, 4, 19, 20}, white), 40) << "the role icon";
  EXPECT_GT(canvas.CountOther({22, 2, 80, 22}, white), 10) << "the name";
  EXPECT_EQ(canvas.CountOther({120, 0, 200, 24}, white), 0) << "nothing beyond the name";

  draw.itemState = ODS_SELECTED;
  PixelCanvas selected(200, 24);
  draw.hDC = selected.Dc();
  SendMessageA(m_pane, WM_DRAWITEM, 22010, reinterpret_cast<LPARAM>(&draw));
  EXPECT_EQ(selected.At(150, 12), dsGetColor("system.selected"));
}

TEST_F(MembersListTest, UnskinnedListBoxIsLeftToItsParent) {
  HWND plain = MembersList(m_pane);
  PixelCanvas canvas(50, 20);
  DRAWITEMSTRUCT draw{};
  draw.CtlType = ODT_LISTBOX;
  draw.hwndItem = plain;
  draw.hDC = canvas.Dc();
  draw.rcItem = {0, 0, 50, 20};
  EXPECT_FALSE(SendMessageA(m_pane, WM_DRAWITEM, 22010, reinterpret_cast<LPARAM>(&draw)));
  EXPECT_EQ(canvas.CountOther({0, 0, 50, 20}, RGB(255, 255, 255)), 0);
}

// ---------------------------------------------------------------------------
// Report list

class ContactListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dsSkinWindow(m_dialog, 100, nullptr, 0);
    m_list = TestWindow::Child(m_dialog, WC_LISTVIEWA, LVS_REPORT, 22053, {0, 0, 300, 200});
    const char* headers[] = {"", "联系人id", "联系人名称"};
    for (int i = 0; i < 3; ++i) {
      LVCOLUMNA column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH;
      column.cx = i == 0 ? 24 : 100;
      column.pszText = const_cast<char*>(headers[i]);
      SendMessageA(m_list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    dsSkinWindow(m_list, 109, "listcontact", 0);
    for (int row = 0; row < 3; ++row) AddRow(row, ("a10" + std::to_string(row)).c_str(), "role.a");
  }
  void AddRow(int at, const char* id, const char* role) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = at;
    item.pszText = const_cast<char*>(id);
    int row = static_cast<int>(SendMessageA(m_list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    dsSetItemStyle(m_list, static_cast<UINT_PTR>(row), 0, role);
    dsSetDrawItemValueEx(m_list, static_cast<UINT_PTR>(row), 1, "textdefault", id, 0);
  }
  LRESULT Stage(DWORD stage, DWORD_PTR row, int sub, HDC dc) {
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr.hwndFrom = m_list;
    draw.nmcd.hdr.idFrom = 22053;
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = stage;
    draw.nmcd.dwItemSpec = row;
    draw.nmcd.hdc = dc;
    draw.iSubItem = sub;
    return SendMessageA(m_dialog, WM_NOTIFY, 22053, reinterpret_cast<LPARAM>(&draw));
  }
  TestWindow m_dialog = TestWindow::Parent();
  HWND m_list = nullptr;
};

TEST_F(ContactListTest, CellsHoldTheirOwnStyleAndValues) {
  char style[32] = {};
  EXPECT_EQ(dsGetDrawItemValue(m_list, 1, 0, "style", style, sizeof style), 6);
  EXPECT_STREQ(style, "role.a");
  EXPECT_EQ(Value(m_list, 1, 1, "textdefault"), "a101");
  EXPECT_EQ(Value(m_list, 1, 2, "textdefault"), "<none>");
  EXPECT_TRUE(dsSetItemStyle(m_list, 1, 0, ""));  // an empty style removes it
  EXPECT_EQ(Value(m_list, 1, 0, "style"), "<none>");
}

TEST_F(ContactListTest, RowsMovedBetweenListsKeepTheirValuesInStep) {
  SendMessageA(m_list, LVM_DELETEITEM, 0, 0);
  EXPECT_EQ(Value(m_list, 0, 1, "textdefault"), "a101");
  EXPECT_EQ(Value(m_list, 2, 1, "textdefault"), "<none>");
  AddRow(0, "h200", "role.h");
  EXPECT_EQ(Value(m_list, 0, 1, "textdefault"), "h200");
  EXPECT_EQ(Value(m_list, 1, 1, "textdefault"), "a101");
  SendMessageA(m_list, LVM_DELETEALLITEMS, 0, 0);
  EXPECT_EQ(Value(m_list, 0, 1, "textdefault"), "<none>");
}

TEST_F(ContactListTest, RowsWithValuesAreDrawnBySkinCellByCell) {
  PixelCanvas canvas(300, 60);
  EXPECT_EQ(Stage(CDDS_PREPAINT, 0, 0, canvas.Dc()), CDRF_NOTIFYITEMDRAW);
  EXPECT_EQ(Stage(CDDS_ITEMPREPAINT, 0, 0, canvas.Dc()), CDRF_NOTIFYSUBITEMDRAW);
  EXPECT_EQ(Stage(CDDS_ITEMPREPAINT | CDDS_SUBITEM, 0, 0, canvas.Dc()), CDRF_SKIPDEFAULT);
  RECT row{};
  row.left = LVIR_BOUNDS;
  SendMessageA(m_list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  // The icon cell holds the 20 x 20 role icon, cut to the row's height.
  EXPECT_GT(canvas.CountOther({row.left + 3, row.top, row.left + 23, row.bottom}, RGB(255, 255, 255)), 20);

  // A row without values keeps the list's own drawing.
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = 3;
  item.pszText = const_cast<char*>("plain");
  SendMessageA(m_list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(Stage(CDDS_ITEMPREPAINT, 3, 0, canvas.Dc()), CDRF_DODEFAULT);
}

// ---------------------------------------------------------------------------
// Tree

class ChatTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dsSkinWindow(m_panel, 102, nullptr, 0);
    m_tree = TestWindow::Child(m_panel, WC_TREEVIEWA, TVS_HASBUTTONS | TVS_LINESATROOT, 22007, {0, 0, 200, 200});
    dsSkinWindow(m_tree, 121, "TreeCtrlChat", 0);
    m_tag = Insert(TVI_ROOT, "同事", "tree2.objecttag");
    m_first = Insert(m_tag, "张三", "tree2.role.a");
    m_second = Insert(m_tag, "李四", "tree2.role.a");
    m_group = Insert(TVI_ROOT, "讨论组", "tree2.role.b");
  }
  HTREEITEM Insert(HTREEITEM parent, const char* text, const char* icon) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(text);
    auto node = reinterpret_cast<HTREEITEM>(SendMessageA(m_tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    dsSetDrawItemValueEx(m_tree, node, 0, "treeitemicon", icon, 0);
    return node;
  }
  int ImageOf(HTREEITEM node) {
    TVITEMA item{};
    item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = node;
    SendMessageA(m_tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.iImage, item.iSelectedImage);
    return item.iImage;
  }
  TestWindow m_panel = TestWindow::Parent();
  HWND m_tree = nullptr;
  HTREEITEM m_tag = nullptr, m_first = nullptr, m_second = nullptr, m_group = nullptr;
};

TEST_F(ChatTreeTest, NodesShowTheirIconsFromTheSkinsImageList) {
  EXPECT_EQ(TreeValue(m_tree, m_first, "treeitemicon"), "tree2.role.a");
  auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(m_tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
  ASSERT_NE(images, nullptr);
  int w = 0, h = 0;
  ImageList_GetIconSize(images, &w, &h);
  EXPECT_EQ(w, 16);
  EXPECT_EQ(h, 16);
  EXPECT_GT(ImageOf(m_tag), 0);
  EXPECT_GT(ImageOf(m_first), 0);
  EXPECT_EQ(ImageOf(m_first), ImageOf(m_second)) << "one image per icon name";
  EXPECT_NE(ImageOf(m_first), ImageOf(m_tag));
  EXPECT_NE(ImageOf(m_first), ImageOf(m_group));
  EXPECT_LT(ImageOf(m_group), ImageList_GetImageCount(images));

  // A node moved under another tag gets its icon again on the new node.
  HTREEITEM moved = Insert(m_group, "张三", "tree2.role.a");
  EXPECT_EQ(ImageOf(moved), ImageOf(m_first));
}

TEST_F(ChatTreeTest, DeletingANodeDropsItsValuesAndThoseOfItsChildren) {
  SendMessageA(m_tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(m_tag));
  EXPECT_EQ(TreeValue(m_tree, m_tag, "treeitemicon"), "<none>");
  EXPECT_EQ(TreeValue(m_tree, m_first, "treeitemicon"), "<none>");
  EXPECT_EQ(TreeValue(m_tree, m_second, "treeitemicon"), "<none>");
  EXPECT_EQ(TreeValue(m_tree, m_group, "treeitemicon"), "tree2.role.b");
  SendMessageA(m_tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  EXPECT_EQ(TreeValue(m_tree, m_group, "treeitemicon"), "<none>");
}

TEST_F(ChatTreeTest, NodeWithoutAnIconNameShowsTheBlankImage) {
  HTREEITEM odd = Insert(TVI_ROOT, "?", "not-an-icon");
  EXPECT_EQ(ImageOf(odd), 0);
  HTREEITEM none = Insert(TVI_ROOT, "-", nullptr);
  EXPECT_EQ(ImageOf(none), 0);
}

TEST_F(ChatTreeTest, SelectedNodeTakesTheSkinsSelectionColours) {
  NMTVCUSTOMDRAW draw{};
  draw.nmcd.hdr.hwndFrom = m_tree;
  draw.nmcd.hdr.idFrom = 22007;
  draw.nmcd.hdr.code = NM_CUSTOMDRAW;
  draw.nmcd.dwDrawStage = CDDS_PREPAINT;
  EXPECT_EQ(SendMessageA(m_panel, WM_NOTIFY, 22007, reinterpret_cast<LPARAM>(&draw)), CDRF_NOTIFYITEMDRAW);
  draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
  draw.nmcd.uItemState = CDIS_SELECTED;
  draw.clrTextBk = RGB(0, 0, 128);
  SendMessageA(m_panel, WM_NOTIFY, 22007, reinterpret_cast<LPARAM>(&draw));
  EXPECT_EQ(draw.clrTextBk, dsGetColor("system.selected"));
  EXPECT_EQ(draw.clrText, dsGetColor("system.font"));
  draw.nmcd.uItemState = 0;
  draw.clrTextBk = RGB(1, 2, 3);
  SendMessageA(m_panel, WM_NOTIFY, 22007, reinterpret_cast<LPARAM>(&draw));
  EXPECT_EQ(draw.clrTextBk, RGB(1, 2, 3)) << "other nodes keep the tree's colours";
}

TEST(TreeSkinnedLate, IconsSetBeforeSkinningShowOnceSkinned) {
  TestWindow panel = TestWindow::Parent();
  HWND tree = TestWindow::Child(panel, WC_TREEVIEWA, 0, 22008);
  TVINSERTSTRUCTA insert{};
  insert.hParent = TVI_ROOT;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = const_cast<char*>("分类");
  auto node = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
  dsSetDrawItemValueEx(tree, node, 0, "treeitemicon", "tree2.grouptag", 0);
  EXPECT_EQ(SendMessageA(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0), 0) << "no look before skinning";
  dsSkinWindow(tree, 121, "TreeCtrlChat", 0);
  TVITEMA item{};
  item.mask = TVIF_HANDLE | TVIF_IMAGE;
  item.hItem = node;
  SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_GT(item.iImage, 0);
}

}  // namespace
