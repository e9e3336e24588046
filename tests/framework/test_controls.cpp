// Control wrappers bound by DDX in a real dialog: the owner-drawn combo box
// and list box get their measure/draw/compare requests, the tree keeps a
// consistent structure through inserts, moves and deletes, the list view and
// the sorted combo box answer as the module expects.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "CButton.h"
#include "CComboBox.h"
#include "CDialog.h"
#include "CEdit.h"
#include "CListBox.h"
#include "CListCtrl.h"
#include "CStatic.h"
#include "CTreeCtrl.h"
#include "MessagePump.h"
#include "framework_test_ids.h"

namespace {

// An owner-drawn combo box in the manner of a colour list.
class SwatchCombo : public CComboBox {
 public:
  int measured = 0;
  int compared = 0;
  std::vector<int> drawnItems;

  void MeasureItem(LPMEASUREITEMSTRUCT item) override {
    ++measured;
    item->itemHeight = 20;
  }
  std::function<int(ULONG_PTR, ULONG_PTR)> order;
  int CompareItem(LPCOMPAREITEMSTRUCT item) override {
    ++compared;
    return order ? order(item->itemData1, item->itemData2) : 0;
  }
  void DrawItem(LPDRAWITEMSTRUCT item) override {
    drawnItems.push_back(static_cast<int>(item->itemID));
    CDC dc(item->hDC);
    dc.FillSolidRect(item->rcItem, RGB(0, 0, 255));
  }
};

class OwnerList : public CListBox {
 public:
  std::vector<int> drawnItems;
  void DrawItem(LPDRAWITEMSTRUCT item) override { drawnItems.push_back(static_cast<int>(item->itemID)); }
};

class ControlsDialog : public CDialog {
 public:
  ControlsDialog() : CDialog(::GetModuleHandleA(nullptr), IDD_FW_CONTROLS) {}
  CButton m_button;
  CEdit m_edit;
  SwatchCombo m_swatches;
  CTreeCtrl m_tree;
  OwnerList m_list;
  CListCtrl m_report;
  CStatic m_static;
  CComboBox m_combo;
  CButton m_radio1;
  CButton m_radio2;
  int radioClicks = 0;

 protected:
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Control(dx, IDC_FW_BUTTON, m_button);
    DDX_Control(dx, IDC_FW_EDIT, m_edit);
    DDX_Control(dx, IDC_FW_COLOR, m_swatches);
    DDX_Control(dx, IDC_FW_TREE, m_tree);
    DDX_Control(dx, IDC_FW_LIST, m_list);
    DDX_Control(dx, IDC_FW_REPORT, m_report);
    DDX_Control(dx, IDC_FW_STATIC, m_static);
    DDX_Control(dx, IDC_FW_COMBO, m_combo);
    DDX_Control(dx, IDC_FW_RADIO1, m_radio1);
    DDX_Control(dx, IDC_FW_RADIO2, m_radio2);
  }
  void OnRadio2() { ++radioClicks; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ControlsDialog, CDialog)
  ON_BN_CLICKED(IDC_FW_RADIO2, &ControlsDialog::OnRadio2)
END_MESSAGE_MAP()

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dialog.Create()) << dialog.GetError().GetString(); }
  ControlsDialog dialog;
};

TEST_F(ControlsTest, EveryControlIsBoundToItsMember) {
  const std::vector<std::pair<int, CWnd*>> bound = {
      {IDC_FW_BUTTON, &dialog.m_button}, {IDC_FW_EDIT, &dialog.m_edit}, {IDC_FW_COLOR, &dialog.m_swatches},
      {IDC_FW_TREE, &dialog.m_tree},     {IDC_FW_LIST, &dialog.m_list}, {IDC_FW_REPORT, &dialog.m_report},
      {IDC_FW_STATIC, &dialog.m_static}, {IDC_FW_COMBO, &dialog.m_combo}};
  for (const auto& [id, control] : bound) {
    EXPECT_EQ(dialog.GetDlgItem(id), control) << id;
    EXPECT_EQ(control->GetDlgCtrlID(), id);
  }
  EXPECT_STREQ(dialog.m_static.GetWindowText(), "静态");
}

TEST_F(ControlsTest, OwnerDrawnComboIsMeasuredWhenBoundAndSortedByItsCompare) {
  SwatchCombo& swatches = dialog.m_swatches;
  EXPECT_GE(swatches.measured, 1);
  EXPECT_EQ(swatches.GetItemHeight(0), 20);
  // Without strings the entries are their item data; the control's own
  // ordering (here by value) decides where each lands.
  swatches.order = [](ULONG_PTR a, ULONG_PTR b) { return a < b ? -1 : (a > b ? 1 : 0); };
  for (ULONG_PTR value : {3, 1, 5, 2, 4}) ASSERT_GE(swatches.AddString(reinterpret_cast<const char*>(value)), 0);
  EXPECT_GT(swatches.compared, 0);  // the compare requests came to the control object
  for (int i = 0; i < 5; ++i) EXPECT_EQ(swatches.GetItemData(i), static_cast<DWORD_PTR>(i + 1));
  swatches.SetCurSel(3);
  dialog.ShowWindow(SW_SHOW);
  swatches.RedrawWindow();
  OrbTesting::PumpPending();
  ASSERT_FALSE(swatches.drawnItems.empty());
  EXPECT_EQ(swatches.drawnItems.back(), 3);  // the closed box draws its selection
}

TEST_F(ControlsTest, OwnerDrawnListDrawsItsEntries) {
  for (const char* name : {"张三", "李四", "王五"}) dialog.m_list.AddString(name);
  dialog.ShowWindow(SW_SHOW);
  dialog.m_list.RedrawWindow();
  OrbTesting::PumpPending();
  ASSERT_GE(dialog.m_list.drawnItems.size(), 3u);
  CString text;
  EXPECT_EQ(dialog.m_list.GetText(1, text), 4);
  EXPECT_EQ(text, "李四");
  EXPECT_EQ(dialog.m_list.GetText(7, text), LB_ERR);
  EXPECT_TRUE(text.IsEmpty());
}

// Walks the whole tree and checks that every node's parent link and the
// control's count agree; returns the texts in display order, children
// indented by two blanks per level.
std::vector<std::string> VerifyTree(const CTreeCtrl& tree) {
  std::vector<std::string> lines;
  UINT count = 0;
  struct Walker {
    const CTreeCtrl& tree;
    std::vector<std::string>& lines;
    UINT& count;
    void Walk(HTREEITEM first, HTREEITEM parent, int depth) {
      for (HTREEITEM item = first; item; item = tree.GetNextSiblingItem(item)) {
        ++count;
        EXPECT_EQ(tree.GetParentItem(item), parent);
        lines.push_back(std::string(static_cast<size_t>(depth) * 2, ' ') + tree.GetItemText(item).Str());
        Walk(tree.GetChildItem(item), item, depth + 1);
      }
    }
  } walker{tree, lines, count};
  walker.Walk(tree.GetRootItem(), nullptr, 0);
  EXPECT_EQ(count, tree.GetCount());
  return lines;
}

TEST_F(ControlsTest, TreeStructureThroughInsertsMovesAndDeletes) {
  CTreeCtrl& tree = dialog.m_tree;
  HTREEITEM friends = tree.InsertItem("我的好友");
  HTREEITEM family = tree.InsertItem("家人");
  HTREEITEM zhang = tree.InsertItem("张三", friends);
  HTREEITEM li = tree.InsertItem("李四", friends);
  HTREEITEM loose = tree.InsertItem("未分组");  // an object whose tag has no node stands at the top
  ASSERT_TRUE(friends && family && zhang && li && loose);
  tree.SetItemData(zhang, 1001);
  tree.SetItemData(li, 1002);
  using Lines = std::vector<std::string>;
  EXPECT_EQ(VerifyTree(tree), (Lines{"我的好友", "  张三", "  李四", "家人", "未分组"}));
  EXPECT_EQ(tree.GetItemData(li), 1002u);
  EXPECT_EQ(tree.GetItemData(nullptr), 0u);

  // Move 张三 to 家人 as the trees do: new node with the same data, old node deleted.
  HTREEITEM moved = tree.InsertItem(tree.GetItemText(zhang), family);
  tree.SetItemData(moved, tree.GetItemData(zhang));
  tree.DeleteItem(zhang);
  tree.SelectItem(moved);
  EXPECT_EQ(VerifyTree(tree), (Lines{"我的好友", "  李四", "家人", "  张三", "未分组"}));
  EXPECT_EQ(tree.GetSelectedItem(), moved);
  EXPECT_EQ(tree.GetItemData(moved), 1001u);

  EXPECT_TRUE(tree.SetItemText(li, "李四（同事）"));
  tree.DeleteItem(family);  // a node goes with its children
  EXPECT_EQ(VerifyTree(tree), (Lines{"我的好友", "  李四（同事）", "未分组"}));
  tree.DeleteAllItems();
  EXPECT_EQ(tree.GetCount(), 0u);
  EXPECT_EQ(tree.GetRootItem(), nullptr);
}

TEST_F(ControlsTest, TreeExpandHitTestAndLongText) {
  CTreeCtrl& tree = dialog.m_tree;
  HTREEITEM tag = tree.InsertItem("分组");
  HTREEITEM child = tree.InsertItem("成员", tag);
  EXPECT_FALSE(tree.IsExpanded(tag));
  tree.Expand(tag, TVE_EXPAND);
  EXPECT_TRUE(tree.IsExpanded(tag));
  tree.Expand(tag, TVE_COLLAPSE);
  EXPECT_FALSE(tree.IsExpanded(tag));
  tree.EnsureVisible(child);  // makes the parent open
  EXPECT_TRUE(tree.IsExpanded(tag));
  CRect rect;
  ASSERT_TRUE(tree.GetItemRect(child, &rect, TRUE));
  UINT flags = 0;
  EXPECT_EQ(tree.HitTest(rect.CenterPoint(), &flags), child);
  EXPECT_TRUE(flags & TVHT_ONITEM);
  EXPECT_EQ(tree.HitTest(CPoint(2, tree.GetClientRect().bottom - 2)), nullptr);
  const CString longText(static_cast<char>('x'), 3000);
  HTREEITEM wide = tree.InsertItem(longText);
  EXPECT_EQ(tree.GetItemText(wide).GetLength(), 3000);
}

TEST_F(ControlsTest, ReportListColumnsRowsDataAndSelection) {
  CListCtrl& report = dialog.m_report;
  EXPECT_EQ(report.InsertColumn(0, "", LVCFMT_LEFT, 24), 0);
  EXPECT_EQ(report.InsertColumn(1, "联系人id", LVCFMT_LEFT, 80), 1);
  EXPECT_EQ(report.InsertColumn(2, "联系人名称", LVCFMT_LEFT, 150), 2);
  EXPECT_EQ(report.GetColumnWidth(1), 80);
  const char* rows[][2] = {{"c1001", "张三"}, {"c1002", "李四"}, {"c1003", "王五"}};
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(report.InsertItem(i, ""), i);
    report.SetItemText(i, 1, rows[i][0]);
    report.SetItemText(i, 2, rows[i][1]);
    report.SetItemData(i, static_cast<DWORD_PTR>(100 + i));
  }
  EXPECT_EQ(report.GetItemCount(), 3);
  EXPECT_EQ(report.GetItemText(1, 2), "李四");
  EXPECT_EQ(report.GetNextItem(-1, LVNI_SELECTED), -1);
  report.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(report.GetNextItem(-1, LVNI_SELECTED), 2);
  EXPECT_EQ(report.GetSelectedCount(), 1u);
  report.DeleteItem(0);
  EXPECT_EQ(report.GetItemText(0, 1), "c1002");
  EXPECT_EQ(report.GetItemData(0), 101u);
  EXPECT_EQ(report.GetNextItem(-1, LVNI_SELECTED), 1);
  CRect row;
  ASSERT_TRUE(report.GetItemRect(1, &row, LVIR_BOUNDS));
  // Without full-row selection only the first column is the item; every
  // column counts for the sub-item hit test.
  EXPECT_EQ(report.HitTest(CPoint(row.left + 10, row.CenterPoint().y)), 1);
  int subItem = -1;
  EXPECT_EQ(report.SubItemHitTest(CPoint(row.left + 40, row.CenterPoint().y), &subItem), 1);
  EXPECT_EQ(subItem, 1);
  report.DeleteAllItems();
  EXPECT_EQ(report.GetItemCount(), 0);
  EXPECT_TRUE(report.GetItemText(5, 1).IsEmpty());
}

TEST_F(ControlsTest, SortedComboSearchesByPrefixFromAfterTheStart) {
  CComboBox& fonts = dialog.m_combo;
  for (const char* face : {"Courier", "arial black", "Arial"}) fonts.AddString(face);
  EXPECT_EQ(fonts.GetLBText(0), "Arial");
  EXPECT_EQ(fonts.GetLBText(1), "arial black");
  EXPECT_EQ(fonts.GetLBText(2), "Courier");
  struct Row {
    int startAfter;
    const char* prefix;
    int expected;
  };
  const Row rows[] = {{0, "ARIAL", 1}, {-1, "arial", 0}, {1, "arial", 0}, {0, "cour", 2}, {0, "xyz", CB_ERR}};
  for (const Row& row : rows) EXPECT_EQ(fonts.FindString(row.startAfter, row.prefix), row.expected) << row.prefix;
  EXPECT_EQ(fonts.FindStringExact(-1, "arial"), 0);
  EXPECT_EQ(fonts.SetCurSel(20), CB_ERR);  // out of range: no selection
  EXPECT_EQ(fonts.GetCurSel(), CB_ERR);
  CString text = "old";
  EXPECT_EQ(fonts.GetLBText(9, text), CB_ERR);
  EXPECT_TRUE(text.IsEmpty());
}

TEST_F(ControlsTest, RadioClickChecksAndNotifies) {
  dialog.m_radio2.Click();
  EXPECT_EQ(dialog.m_radio2.GetCheck(), BST_CHECKED);
  EXPECT_EQ(dialog.radioClicks, 1);
  dialog.m_radio1.SetCheck(BST_CHECKED);
  dialog.m_radio2.SetCheck(BST_UNCHECKED);
  EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_FW_RADIO1), static_cast<UINT>(BST_CHECKED));
}

}  // namespace
