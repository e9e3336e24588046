// The three trees of the host panel filled from a local chat database: nodes
// per row in the order the rows come, records on every node, icons, NULL
// columns, nodes whose tag has no row, the lookups, the double click on a tag
// node and the freeing of every record.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>

#include "CMessageRecorder.h"
#include "MessagePump.h"
#include "ChatTestSupport.h"
#include "TreeOutline.h"
#include "directory/CChatCmtTreeCtrl.h"
#include "directory/CChatGrpTreeCtrl.h"
#include "directory/CChatObjTreeCtrl.h"
#include "support/FileUtils.h"

namespace {

constexpr DWORD kTreeStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_HSCROLL | TVS_HASBUTTONS | TVS_LINESATROOT |
                             TVS_SHOWSELALWAYS | TVS_INFOTIP | TVS_FULLROWSELECT;

// A tree window in a frame, filled from the database at dbPath.
template <class Tree>
class TreeUnderTest {
 public:
  explicit TreeUnderTest(const CString& dbPath) : m_pTree(std::make_unique<Tree>()) {
    EXPECT_TRUE(m_pTree->CreateEx(0, WC_TREEVIEWA, "", kTreeStyle, CRect(0, 0, 380, 560), &m_frame, 22007));
    m_pTree->SetDBPath(dbPath);
    m_pTree->InitTree();
  }
  Tree& operator*() { return *m_pTree; }
  Tree* operator->() { return m_pTree.get(); }
  // Destroys the tree object (and its window), as the panel's deletion does.
  void Destroy() { m_pTree.reset(); }

 private:
  CTestFrame m_frame;
  std::unique_ptr<Tree> m_pTree;
};

class ObjectTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Rows come in the order of their record numbers; neither tag numbers nor
    // names are in order.
    ASSERT_TRUE(m_db.Insert("CustChatObjectTag", {{"id", 4}, {"tag", 3}, {"name", "同事"}}));
    ASSERT_TRUE(m_db.Insert("CustChatObjectTag", {{"id", 6}, {"tag", 1}, {"name", "我的好友"}}));
    ASSERT_TRUE(m_db.Insert("CustChatObjectTag", {{"id", 9}, {"tag", 3}, {"name", "Friends"}}));
    ASSERT_TRUE(m_db.Insert("CustChatObjectList",
                            {{"contactid", "c1002"}, {"name", "李四"}, {"alias", "  小李  "}, {"tag", 1}, {"role", "c"}}));
    ASSERT_TRUE(m_db.Insert("CustChatObjectList",
                            {{"contactid", "c1003"}, {"name", "王五"}, {"alias", " \t "}, {"tag", 3}, {"role", "c"}}));
    ASSERT_TRUE(m_db.Insert("CustChatObjectList", {{"contactid", "s3001"}, {"name", "客服"}, {"tag", 9}, {"role", "s"}}));
    ASSERT_TRUE(m_db.Insert("CustChatObjectList", {{"contactid", "c1004"}, {"name", "赵六"}, {"alias", ""}, {"tag", 1}}));
    ASSERT_TRUE(m_db.Insert("CustChatObjectList",
                            {{"contactid", "t2001"}, {"name", "吴老师"}, {"alias", "老吴"}, {"tag", 3}, {"role", "t"}}));
  }
  CTestChatDb m_db;
};

TEST_F(ObjectTreeTest, FillsTagsThenChatObjectsInRowOrderWithIcons) {
  TreeUnderTest<CChatObjTreeCtrl> tree(m_db.Path());
  // Rows keep their order (no sorting by tag or name); a tag number used
  // twice gathers its objects under the first such tag; an alias of blanks
  // shows the name; an object whose tag has no row stands at the top level.
  EXPECT_EQ(OutlineOf(*tree),
            "同事<tree2.objecttag>(王五<tree2.role.c>,老吴<tree2.role.t>) "
            "我的好友<tree2.objecttag>(小李<tree2.role.c>,赵六<tree2.role.>) "
            "Friends<tree2.objecttag> 客服<tree2.role.s>");
  EXPECT_EQ(CheckRecords(*tree, tree->m_arrTagData, tree->m_arrItemData), "");
}

TEST_F(ObjectTreeTest, RecordsHoldTheRowsColumns) {
  TreeUnderTest<CChatObjTreeCtrl> tree(m_db.Path());
  ASSERT_EQ(tree->m_arrTagData.size(), 3u);
  ASSERT_EQ(tree->m_arrItemData.size(), 5u);
  const tag_ChatTagData& tag = *tree->m_arrTagData[1];
  EXPECT_EQ(tag.id, 6);
  EXPECT_EQ(tag.tag, 1);
  EXPECT_EQ(tag.name, "我的好友");
  const tag_ChatItemData& li = *tree->m_arrItemData[0];
  EXPECT_EQ(li.contactid, "c1002");
  EXPECT_EQ(li.name, "小李");
  EXPECT_EQ(li.tag, 1);
  EXPECT_EQ(li.role, "c");
  EXPECT_EQ(li.hTagItem, tag.hItem);
  const tag_ChatItemData& service = *tree->m_arrItemData[2];
  EXPECT_EQ(service.hTagItem, nullptr);
  EXPECT_EQ(service.tag, 9);
}

TEST_F(ObjectTreeTest, LookupsScanInArrayOrderAndCompareExactly) {
  TreeUnderTest<CChatObjTreeCtrl> tree(m_db.Path());
  const HTREEITEM colleagues = tree->m_arrTagData[0]->hItem;
  struct Case {
    HTREEITEM found;
    HTREEITEM expected;
    const char* what;
  } cases[] = {
      {tree->FindTagItem(3), colleagues, "first of two tags numbered 3"},
      {tree->FindTagItem(1), tree->m_arrTagData[1]->hItem, "tag 1"},
      {tree->FindTagItem(9), nullptr, "tag without a row"},
      {tree->FindTagItemByName("同事"), colleagues, "name"},
      {tree->FindTagItemByName("friends"), nullptr, "name in other letter case"},
      {tree->FindTagItemByName(" 同事"), nullptr, "name with a blank"},
      {tree->FindContactItem("t2001"), tree->m_arrItemData[4]->hItem, "contact"},
      {tree->FindContactItem("T2001"), nullptr, "contact id in other letter case"},
      {tree->FindContactItem("c100"), nullptr, "part of an id"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.found, c.expected) << c.what;
}

// Double-clicks the node as the user does: the cursor stands on it.
void DoubleClick(CTreeCtrl& tree, HTREEITEM item) {
  CRect rect;
  ASSERT_TRUE(tree.GetItemRect(item, rect, TRUE));
  CPoint point = rect.CenterPoint();
  CPoint screen = point;
  tree.ClientToScreen(&screen);
  ASSERT_TRUE(::SetCursorPos(screen.x, screen.y));
  tree.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(point.x, point.y));
}

TEST_F(ObjectTreeTest, DoubleClickOnATagFoldsItInAndOutAndLeavesObjectsAlone) {
  TreeUnderTest<CChatObjTreeCtrl> tree(m_db.Path());
  const HTREEITEM friends = tree->m_arrTagData[1]->hItem;
  ASSERT_FALSE(tree->IsExpanded(friends));
  DoubleClick(*tree, friends);
  EXPECT_TRUE(tree->IsExpanded(friends));
  const HTREEITEM li = tree->m_arrItemData[0]->hItem;
  DoubleClick(*tree, li);
  EXPECT_TRUE(tree->IsExpanded(friends)) << "a double click on a chat object changes nothing";
  EXPECT_EQ(tree->GetCount(), 8u);
  DoubleClick(*tree, friends);
  EXPECT_FALSE(tree->IsExpanded(friends));
  // The top-level chat object has no tag: it is not folded either.
  DoubleClick(*tree, tree->m_arrItemData[2]->hItem);
  EXPECT_EQ(OutlineOf(*tree).find("客服<tree2.role.s>("), std::string::npos);
}

TEST(TreeFillingTest, MissingOrEmptyDatabaseGivesAnEmptyTreeAndCreatesNoFile) {
  CTestChatDb emptyDb;
  CTestFolder folder;
  const CString missing = folder.File("无此文件.dat");
  for (const CString& path : {emptyDb.Path(), missing, CString()}) {
    TreeUnderTest<CChatObjTreeCtrl> objects(path);
    TreeUnderTest<CChatGrpTreeCtrl> groups(path);
    TreeUnderTest<CChatCmtTreeCtrl> communities(path);
    EXPECT_EQ(objects->GetCount() + groups->GetCount() + communities->GetCount(), 0u) << path.GetString();
  }
  EXPECT_FALSE(FileExists(missing));
}

TEST(GroupTreeTest, FillsCategoriesThenGroupsWithTheirColumns) {
  CTestChatDb db;
  ASSERT_TRUE(db.Insert("CustChatGroupTag", {{"id", 1}, {"tag", 2}, {"name", "兴趣小组"}}));
  ASSERT_TRUE(db.Insert("CustChatGroupTag", {{"id", 2}, {"tag", 1}, {"name", "项目讨论"}}));
  ASSERT_TRUE(db.Insert("CustChatGroupList", {{"groupid", 12}, {"name", "产品评审"}, {"tag", 1}, {"title", "产品评审会"},
                                              {"members", "c1001,c1002,c1003"}}));
  ASSERT_TRUE(db.Insert("CustChatGroupList", {{"groupid", 3}, {"name", "羽毛球"}, {"tag", 2}}));
  ASSERT_TRUE(db.Insert("CustChatGroupList", {{"groupid", 40}, {"name", "临时组"}, {"tag", 8}, {"members", "c1001,"}}));
  TreeUnderTest<CChatGrpTreeCtrl> tree(db.Path());
  EXPECT_EQ(OutlineOf(*tree),
            "兴趣小组<tree2.grouptag>(羽毛球<tree2.role.b>) 项目讨论<tree2.grouptag>(产品评审<tree2.role.b>) "
            "临时组<tree2.role.b>");
  EXPECT_EQ(CheckRecords(*tree, tree->m_arrTagData, tree->m_arrItemData), "");
  ASSERT_EQ(tree->m_arrItemData.size(), 3u);
  const tag_GroupItemData& review = *tree->m_arrItemData[0];
  EXPECT_EQ(review.groupid, 12);
  EXPECT_EQ(review.title, "产品评审会");
  EXPECT_EQ(review.members, "c1001,c1002,c1003");
  EXPECT_EQ(review.hTagItem, tree->FindTagItem(1));
  EXPECT_EQ(tree->m_arrItemData[1]->title, "");
  EXPECT_EQ(tree->m_arrItemData[2]->hTagItem, nullptr);
  EXPECT_EQ(tree->FindTagItemByName("兴趣小组"), tree->m_arrTagData[0]->hItem);
}

TEST(CommunityTreeTest, NullColumnsReadAsEmptyAndCategoriesOpenAtOnce) {
  CTestChatDb db;
  ASSERT_TRUE(db.Insert("CustCommunityTag", {{"id", 1}, {"tag", 1}, {"name", "技术交流"}}));
  ASSERT_TRUE(db.Insert("CustCommunityTag", {{"tag", 2}, {"name", COrbVariant::Null()}}));
  ASSERT_TRUE(db.Insert("CustCommunity", {{"groupid", "12"}, {"groupname", "OrbChat 开发者"}, {"tag", 1},
                                          {"groupdes", "开发与测试"}, {"members", "c1001,c1002"}}));
  ASSERT_TRUE(db.Insert("CustCommunity", {{"tag", 2}}));
  ASSERT_TRUE(db.Insert("CustCommunity", {{"groupid", "15"}, {"groupname", "同城"}, {"tag", 5}}));
  TreeUnderTest<CChatCmtTreeCtrl> tree(db.Path());
  EXPECT_EQ(OutlineOf(*tree),
            "技术交流<tree2.communitytag>(OrbChat 开发者<tree2.role.h>) <tree2.communitytag>(<tree2.role.h>) "
            "同城<tree2.role.h>");
  EXPECT_EQ(CheckRecords(*tree, tree->m_arrTagData, tree->m_arrItemData), "");
  // Categories show their communities without a click.
  for (const auto& category : tree->m_arrTagData) EXPECT_TRUE(tree->IsExpanded(category->hItem));
  ASSERT_EQ(tree->m_arrItemData.size(), 3u);
  const tag_CommunityItemData& dev = *tree->m_arrItemData[0];
  EXPECT_EQ(dev.groupid, "12");
  EXPECT_EQ(dev.groupdes, "开发与测试");
  EXPECT_EQ(dev.members, "c1001,c1002");
  const tag_CommunityItemData& blank = *tree->m_arrItemData[1];
  EXPECT_EQ(blank.groupid, "");
  EXPECT_EQ(blank.groupname, "");
  EXPECT_EQ(blank.groupdes, "");
  EXPECT_EQ(blank.members, "");
  EXPECT_EQ(tree->m_arrTagData[1]->name, "");
  EXPECT_EQ(tree->m_arrItemData[2]->hTagItem, nullptr);
}

// Filling sends one message per node (the node and its record together) and
// the tree is not redrawn while it fills: 500 chat objects under 5 tags cost
// little more than 505 messages, and one repaint once the fill is done.
TEST(TreeFillingTest, FillingFiveHundredNodesSendsOneInsertEachAndNoRedraw) {
  CTestChatDb db;
  ASSERT_TRUE(db.Exec(
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5) "
      "INSERT INTO CustChatObjectTag (tag, name) SELECT i, '标签' || i FROM n;"
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500) "
      "INSERT INTO CustChatObjectList (contactid, name, alias, tag, role) "
      "SELECT 'c' || (10000 + i), '联系人' || i, '', i % 5 + 1, 'c' FROM n;"));
  CTestFrame frame;
  CChatObjTreeCtrl tree;
  ASSERT_TRUE(tree.CreateEx(0, WC_TREEVIEWA, "", kTreeStyle, CRect(0, 0, 380, 560), &frame, 22007));
  tree.SetDBPath(db.Path());
  CMessageRecorder recorder(tree.m_hWnd);
  tree.InitTree();
  ASSERT_EQ(tree.GetCount(), 505u);
  EXPECT_EQ(recorder.Count(TVM_INSERTITEMA) + recorder.Count(TVM_INSERTITEMW), 505u);
  EXPECT_EQ(recorder.Count(WM_PAINT), 0u);
  // The node and its record go in one message; icons ride on the skin's table.
  EXPECT_LE(recorder.Count(), 505u + 10) << "messages while filling";
  const size_t whileFilling = recorder.Count();
  OrbTesting::PumpPending();
  EXPECT_LE(recorder.Count(WM_PAINT), 2u) << "one repaint once the fill is done";
  EXPECT_GT(recorder.Count(), whileFilling);
}

TEST_F(ObjectTreeTest, EveryRecordIsFreedWithItsTree) {
  ASSERT_TRUE(m_db.Insert("CustChatGroupTag", {{"id", 1}, {"tag", 1}, {"name", "项目"}}));
  ASSERT_TRUE(m_db.Insert("CustChatGroupList", {{"groupid", 1}, {"name", "评审"}, {"tag", 1}}));
  ASSERT_TRUE(m_db.Insert("CustCommunity", {{"groupid", "12"}, {"tag", 1}}));
  const int before = CTreeRecord::LiveCount();
  TreeUnderTest<CChatObjTreeCtrl> objects(m_db.Path());
  {
    TreeUnderTest<CChatGrpTreeCtrl> groups(m_db.Path());
    TreeUnderTest<CChatCmtTreeCtrl> communities(m_db.Path());
    EXPECT_EQ(CTreeRecord::LiveCount(), before + 8 + 2 + 1);
  }
  EXPECT_EQ(CTreeRecord::LiveCount(), before + 8);
  objects.Destroy();
  EXPECT_EQ(CTreeRecord::LiveCount(), before);
}

}  // namespace
