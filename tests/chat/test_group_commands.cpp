// The discussion group tree's context menu and commands, run against a real
// database file: which items a right click enables, renaming and moving
// groups with their messages, the categories, the two deletes and a
// database that cannot be written.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "CMenu.h"
#include "CMsgBrowserDlg.h"
#include "ChatTestSupport.h"
#include "MessageBoxRecorder.h"
#include "ModalAnswers.h"
#include "PopupMenuRecorder.h"
#include "TreeOutline.h"
#include "chat/ModuleHandle.h"
#include "directory/CChatGrpTreeCtrl.h"
#include "directory/COrbChat_EditTag.h"
#include "directory/COrbChat_GroupManage.h"
#include "directory/COrbChat_ReNameDlg.h"
#include "directory/COrbChat_SelectGroupTag.h"
#include "resources/resource.h"

namespace {

using OrbTesting::MessageBoxRecorder;
using OrbTesting::ModalAnswers;
using OrbTesting::PopupMenuRecorder;

constexpr DWORD kTreeStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS;

class GroupCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Record numbers differ from category numbers.
    ASSERT_TRUE(m_db.Insert("CustChatGroupTag", {{"id", 3}, {"tag", 2}, {"name", "项目"}}));
    ASSERT_TRUE(m_db.Insert("CustChatGroupTag", {{"id", 5}, {"tag", 1}, {"name", "兴趣"}}));
    ASSERT_TRUE(m_db.Insert("CustChatGroupList", {{"groupid", 3}, {"name", "评审"}, {"tag", 2}, {"title", "评审会"},
                                                  {"members", "c1001,c1002,"}}));
    ASSERT_TRUE(m_db.Insert("CustChatGroupList",
                            {{"groupid", 8}, {"name", "羽毛球"}, {"tag", 1}, {"title", "球友"}, {"members", "c1003,"}}));
    ASSERT_TRUE(m_db.Insert("CustChatGroupList",
                            {{"groupid", 9}, {"name", "临时"}, {"tag", 6}, {"title", "临时"}, {"members", "c1001,"}}));
    m_session.m_login.m_strCustomFilePath = m_db.Path();
  }
  void MakeTree() {
    m_pTree = std::make_unique<CChatGrpTreeCtrl>();
    ASSERT_TRUE(m_pTree->CreateEx(0, WC_TREEVIEWA, "", kTreeStyle, CRect(0, 0, 380, 560), &m_frame, 22008));
    if (!m_menu.m_hMenu) {
      ASSERT_TRUE(m_menu.LoadMenu(OrbChatModuleHandle(), IDR_MENU_GROUP));
    }
    m_pTree->m_pMenu = m_menu.GetSubMenu(0);
    m_pTree->m_pProtocol = &m_session;
    m_pTree->SetDBPath(m_db.Path());
    m_pTree->InitTree();
  }
  CChatGrpTreeCtrl& Tree() { return *m_pTree; }
  HTREEITEM Category(size_t i) { return Tree().m_arrTagData[i]->hItem; }
  HTREEITEM Group(int groupid) {
    for (const auto& record : Tree().m_arrItemData)
      if (record->groupid == groupid) return record->hItem;
    return nullptr;
  }
  void Command(HTREEITEM selected, UINT id) {
    Tree().SelectItem(selected);
    Tree().SendMessage(WM_COMMAND, id);
  }
  void Rename(HTREEITEM selected, UINT id, const char* text) {
    m_modal.Answer(IDOK, [text](CDialog& d) { dynamic_cast<COrbChat_ReNameDlg&>(d).m_strText = text; });
    Command(selected, id);
  }
  void MoveTo(int groupid, int tag, const char* name) {
    m_modal.Answer(IDOK, [tag, name](CDialog& d) {
      auto& select = dynamic_cast<COrbChat_SelectGroupTag&>(d);
      select.m_nSelTag = tag;
      select.m_strSelName = name;
    });
    Command(Group(groupid), ID_GROUP_MOVE);
  }
  void AddCategory(const char* name) {
    m_modal.Answer(IDOK, [name](CDialog& d) { dynamic_cast<COrbChat_EditTag&>(d).m_strText = name; });
    Tree().SendMessage(WM_COMMAND, ID_GROUP_ADD_CATEGORY);
  }
  std::string Outline() { return OutlineOf(Tree()); }
  std::string Invariants() { return CheckRecords(Tree(), Tree().m_arrTagData, Tree().m_arrItemData); }
  CString Column(const char* sql) { return m_db.Value(sql); }
  void Reload() {
    m_pTree.reset();
    MakeTree();
  }

  CTestChatDb m_db;
  CFakeSession m_session{m_db.Path()};
  CTestFrame m_frame;
  CMenu m_menu;
  std::unique_ptr<CChatGrpTreeCtrl> m_pTree;
  MessageBoxRecorder m_boxes;
  ModalAnswers m_modal;
};

CPoint PointOf(const CTreeCtrl& tree, HTREEITEM item) {
  CRect rect;
  EXPECT_TRUE(tree.GetItemRect(item, rect, TRUE));
  return rect.CenterPoint();
}

TEST_F(GroupCommandTest, RightClickEnablesTheCommandsOfTheNodeUnderTheCursor) {
  MakeTree();
  PopupMenuRecorder menus;
  struct Case {
    const char* where;
    CPoint point;
    bool groupItems;
    bool categoryItems;
  } cases[] = {
      {"group at the top level", PointOf(Tree(), Group(9)), true, false},
      {"category", PointOf(Tree(), Category(1)), false, true},
      {"empty space", CPoint(100, 500), false, true},
  };
  for (const Case& c : cases) {
    Tree().SelectItem(Category(0));
    Tree().SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(c.point.x, c.point.y));
    ASSERT_EQ(menus.Count(), static_cast<size_t>(&c - cases + 1)) << c.where;
    const OrbTesting::TrackedMenu& menu = menus.Last();
    EXPECT_EQ(menu.owner, Tree().m_hWnd);
    for (UINT id : {ID_GROUP_SEND_MESSAGE, ID_GROUP_RENAME, ID_GROUP_DELETE, ID_GROUP_MANAGE_MEMBERS, ID_GROUP_MOVE})
      EXPECT_EQ(menu.Find(id)->grayed, !c.groupItems) << c.where << " " << id;
    for (UINT id : {ID_GROUP_RENAME_CATEGORY, ID_GROUP_DELETE_CATEGORY})
      EXPECT_EQ(menu.Find(id)->grayed, !c.categoryItems) << c.where << " " << id;
    for (UINT id : {ID_GROUP_NEW, ID_GROUP_ADD_CATEGORY, ID_GROUP_VIEW_HISTORY})
      EXPECT_FALSE(menu.Find(id)->grayed) << c.where;
    EXPECT_EQ(Tree().GetSelectedItem(), Category(0)) << c.where;
  }
}

TEST_F(GroupCommandTest, RenamingAGroupChangesItsOwnRowAndNodeOnly) {
  MakeTree();
  Rename(Group(8), ID_GROUP_RENAME, "  O'Neil 的球队  ");
  EXPECT_EQ(Column("SELECT name FROM CustChatGroupList WHERE groupid=8"), CString("O'Neil 的球队"));
  EXPECT_EQ(Column("SELECT name FROM CustChatGroupList WHERE groupid=3"), CString("评审"));
  EXPECT_EQ(Tree().GetItemText(Group(8)), CString("O'Neil 的球队"));
  // A name of blanks only is refused and nothing changes.
  Rename(Group(8), ID_GROUP_RENAME, "   ");
  ASSERT_EQ(m_boxes.Count(), 1u);
  EXPECT_EQ(Column("SELECT name FROM CustChatGroupList WHERE groupid=8"), CString("O'Neil 的球队"));
  // Cancel changes nothing.
  m_modal.Answer(IDCANCEL);
  Command(Group(8), ID_GROUP_RENAME);
  EXPECT_EQ(Tree().GetItemText(Group(8)), CString("O'Neil 的球队"));
  Reload();
  EXPECT_EQ(Tree().GetItemText(Group(8)), CString("O'Neil 的球队"));
}

TEST_F(GroupCommandTest, MovingShowsTheTargetFirstAndRefusesTheOwnCategory) {
  MakeTree();
  MoveTo(8, 1, "兴趣");  // its own category
  ASSERT_EQ(m_boxes.Count(), 1u);
  EXPECT_EQ(m_boxes.Last().text, CString("\r\n选择的目标分类标签不能与源分类相同\r\n"));
  MoveTo(8, 2, "项目");
  ASSERT_EQ(m_boxes.Count(), 2u);
  EXPECT_EQ(m_boxes.Last().text, CString("\r\n选择的目标分类是 项目(2)\r\n"));
  EXPECT_EQ(Column("SELECT tag FROM CustChatGroupList WHERE groupid=8"), CString("2"));
  EXPECT_EQ(Tree().GetSelectedItem(), Group(8));
  // OK without a selection: the message names -1 and nothing moves.
  MoveTo(9, -1, "");
  ASSERT_EQ(m_boxes.Count(), 3u);
  EXPECT_EQ(m_boxes.Last().text, CString("\r\n选择的目标分类是 (-1)\r\n"));
  EXPECT_EQ(Column("SELECT tag FROM CustChatGroupList WHERE groupid=9"), CString("6"));
  EXPECT_EQ(Outline(), "项目<tree2.grouptag>(评审<tree2.role.b>,羽毛球<tree2.role.b>) 兴趣<tree2.grouptag> "
                       "临时<tree2.role.b>");
  EXPECT_EQ(Invariants(), "");
  // The moved group keeps its title and members for the conversation.
  EXPECT_EQ(Tree().m_arrItemData[1]->members, CString("c1003,"));
}

TEST_F(GroupCommandTest, AddingAndRenamingCategories) {
  MakeTree();
  AddCategory(" 同学 ");
  EXPECT_EQ(Column("SELECT tag FROM CustChatGroupTag WHERE name='同学'"), CString("3"));
  EXPECT_EQ(m_boxes.Last().text, CString("\n已经将分类[同学]添加到群组标签上"));
  AddCategory("同学");
  EXPECT_EQ(m_boxes.Last().text, CString("\n同学] 标签已经群组会话树上"));
  EXPECT_EQ(Column("SELECT count(*) FROM CustChatGroupTag"), CString("3"));
  // The category added in this run renames its own row.
  Rename(Category(2), ID_GROUP_RENAME_CATEGORY, "老同学");
  EXPECT_EQ(Column("SELECT name FROM CustChatGroupTag WHERE tag=3"), CString("老同学"));
  EXPECT_EQ(Column("SELECT name FROM CustChatGroupTag WHERE id=3"), CString("项目"));
  // A group moved into it goes under it.
  MoveTo(9, 3, "老同学");
  EXPECT_EQ(Outline(), "项目<tree2.grouptag>(评审<tree2.role.b>) 兴趣<tree2.grouptag>(羽毛球<tree2.role.b>) "
                       "老同学<tree2.grouptag>(临时<tree2.role.b>)");
  EXPECT_EQ(Invariants(), "");
}

TEST_F(GroupCommandTest, DeletingAGroupAfterConfirmation) {
  MakeTree();
  m_boxes.Answer(IDNO);
  Command(Group(3), ID_GROUP_DELETE);
  EXPECT_EQ(Column("SELECT count(*) FROM CustChatGroupList WHERE groupid=3"), CString("1"));
  EXPECT_NE(Group(3), nullptr);
  m_boxes.Answer(IDYES);
  Command(Group(3), ID_GROUP_DELETE);
  EXPECT_EQ(Column("SELECT count(*) FROM CustChatGroupList WHERE groupid=3"), CString("0"));
  EXPECT_EQ(Column("SELECT count(*) FROM CustChatGroupList"), CString("2"));
  EXPECT_EQ(Group(3), nullptr);
  EXPECT_EQ(Invariants(), "");
}

TEST_F(GroupCommandTest, DeletingACategoryKeepsItsGroupsAtTheTopLevel) {
  MakeTree();
  m_boxes.Answer(IDYES);
  Command(Category(0), ID_GROUP_DELETE_CATEGORY);  // 项目, category 2, holding 评审
  EXPECT_EQ(Column("SELECT count(*) FROM CustChatGroupTag WHERE id=3"), CString("0"));
  EXPECT_EQ(Column("SELECT tag FROM CustChatGroupList WHERE groupid=3"), CString("0"));
  EXPECT_EQ(Column("SELECT members FROM CustChatGroupList WHERE groupid=3"), CString("c1001,c1002,"));
  EXPECT_EQ(Outline(), "兴趣<tree2.grouptag>(羽毛球<tree2.role.b>) 临时<tree2.role.b> 评审<tree2.role.b>");
  EXPECT_EQ(Invariants(), "");
  // A category that later gets the freed number does not take the group.
  AddCategory("新项目");
  EXPECT_EQ(Column("SELECT tag FROM CustChatGroupTag WHERE name='新项目'"), CString("2"));
  Reload();
  EXPECT_EQ(Outline(), "兴趣<tree2.grouptag>(羽毛球<tree2.role.b>) 新项目<tree2.grouptag> 评审<tree2.role.b> "
                       "临时<tree2.role.b>");
}

TEST_F(GroupCommandTest, ALockedDatabaseLeavesTreeAndFileAsTheyWere) {
  MakeTree();
  sqlite3* other = m_db.OpenRaw();
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  Rename(Group(3), ID_GROUP_RENAME, "新名");
  MoveTo(3, 1, "兴趣");
  m_boxes.Answer(IDYES);
  Command(Group(8), ID_GROUP_DELETE);
  m_boxes.Answer(IDYES);
  Command(Category(1), ID_GROUP_DELETE_CATEGORY);
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(Outline(), "项目<tree2.grouptag>(评审<tree2.role.b>) 兴趣<tree2.grouptag>(羽毛球<tree2.role.b>) "
                       "临时<tree2.role.b>");
  EXPECT_EQ(Invariants(), "");
  EXPECT_EQ(Column("SELECT name || tag FROM CustChatGroupList WHERE groupid=3"), CString("评审2"));
  EXPECT_EQ(Column("SELECT count(*) FROM CustChatGroupTag"), CString("2"));
  EXPECT_NE(m_boxes.Last().text.Find("没有保存"), -1);
}

// The group management dialog, driven inside its modal loop.
std::string Ids(const CListCtrl& list) {
  std::string ids;
  for (int i = 0; i < list.GetItemCount(); ++i) ids += std::string(list.GetItemText(i, 1).GetString()) + " ";
  return ids;
}
void Select(CListCtrl& list, int row) { list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED); }

class GroupManageTest : public GroupCommandTest {
 protected:
  void SetUp() override {
    GroupCommandTest::SetUp();
    ASSERT_TRUE(m_db.Insert("ContactList", {{"contactid", "c1001"}, {"name", "张三"}, {"role", " c "}}));
    ASSERT_TRUE(m_db.Insert("ContactList", {{"contactid", "c1002"}, {"name", "李四"}, {"role", "x"}}));
    ASSERT_TRUE(m_db.Insert("ContactList", {{"contactid", "c1003"}, {"name", "王五"}, {"role", "s"}}));
  }
};

TEST_F(GroupManageTest, ANewGroupIsCheckedConfirmedAndGetsTheNextNumber) {
  MakeTree();
  std::string contacts, members, caption, okText;
  bool stayedOpen = true;
  m_modal.Drive([&](CDialog& d) {
    auto& dialog = dynamic_cast<COrbChat_GroupManage&>(d);
    caption = dialog.GetWindowText().GetString();
    okText = dialog.GetDlgItem(IDOK)->GetWindowText().GetString();
    contacts = Ids(dialog.m_listContacts);
    members = Ids(dialog.m_listMembers);
    dialog.SendMessage(WM_COMMAND, IDOK);  // no name
    dialog.SetDlgItemText(IDC_GROUP_NAME, "O'Neil 组");
    dialog.SendMessage(WM_COMMAND, IDOK);  // no title
    dialog.SetDlgItemText(IDC_GROUP_TITLE, "周会");
    dialog.SendMessage(WM_COMMAND, IDOK);  // no members
    Select(dialog.m_listContacts, 2);
    dialog.SendMessage(WM_COMMAND, IDC_MEMBER_ADD);  // c1003
    Select(dialog.m_listContacts, 0);
    dialog.SendMessage(WM_COMMAND, IDC_MEMBER_ADD);  // c1001
    m_boxes.Answer(IDCANCEL);
    dialog.SendMessage(WM_COMMAND, IDOK);  // the confirmation is cancelled
    stayedOpen = ::IsWindow(dialog.m_hWnd) && dialog.GetSaved() == nullptr;
    dialog.SendMessage(WM_COMMAND, IDOK);
  });
  Tree().SendMessage(WM_COMMAND, ID_GROUP_NEW);
  EXPECT_EQ(m_modal.TimedOut(), 0);
  EXPECT_EQ(caption, "新建群组");
  EXPECT_EQ(okText, "添加");
  EXPECT_EQ(contacts, "c1001 c1002 c1003 ");
  EXPECT_EQ(members, "");
  EXPECT_TRUE(stayedOpen);
  ASSERT_EQ(m_boxes.Count(), 5u);
  EXPECT_EQ(m_boxes.Asked()[0].text, CString("群组名称不能为空！"));
  EXPECT_EQ(m_boxes.Asked()[1].text, CString("群组标题不能为空！"));
  EXPECT_EQ(m_boxes.Asked()[2].text, CString("群组成员不能为空！"));
  EXPECT_EQ(m_boxes.Asked()[2].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
  // Categories come by number: the first entry is category 1.
  EXPECT_EQ(m_boxes.Last().text,
            CString("群组分类:兴趣(1)\n    名称:O'Neil 组\n    标题:周会\n    共 2 人\n 请确认 添加群组内容是否正确？"));
  EXPECT_EQ(Column("SELECT name || '|' || tag || '|' || title || '|' || members FROM CustChatGroupList "
                   "WHERE groupid=10"),
            CString("O'Neil 组|1|周会|c1003,c1001"));
  // The tree shows the new group at once, under its category and selected,
  // as the next fill shows it.
  EXPECT_EQ(Tree().m_arrItemData.size(), 4u);
  ASSERT_NE(Group(10), nullptr);
  EXPECT_EQ(Tree().GetSelectedItem(), Group(10));
  const std::string shown = Outline();
  Reload();
  EXPECT_EQ(Outline(), shown);
}

// Long names and quotes are stored exactly as typed and shown on the tree.
TEST_F(GroupManageTest, ALongNameAndQuotesAreStoredExactly) {
  MakeTree();
  CString name;
  for (int i = 0; i < 1000; ++i) name += (i % 10 == 0) ? "'" : "名";
  const CString title = "it's \"引号\" -- ' OR 1=1; DROP TABLE CustChatGroupList; --";
  m_modal.Drive([&](CDialog& d) {
    auto& dialog = dynamic_cast<COrbChat_GroupManage&>(d);
    dialog.SetDlgItemText(IDC_GROUP_NAME, name);
    dialog.SetDlgItemText(IDC_GROUP_TITLE, title);
    Select(dialog.m_listContacts, 1);
    dialog.SendMessage(WM_COMMAND, IDC_MEMBER_ADD);
    dialog.SendMessage(WM_COMMAND, IDOK);
  });
  Tree().SendMessage(WM_COMMAND, ID_GROUP_NEW);
  EXPECT_EQ(Column("SELECT count(*) FROM CustChatGroupList"), CString("4"));
  EXPECT_EQ(Column("SELECT name FROM CustChatGroupList WHERE groupid=10"), name);
  EXPECT_EQ(Column("SELECT title || '|' || members FROM CustChatGroupList WHERE groupid=10"), title + "|c1002");
  ASSERT_NE(Group(10), nullptr);
  EXPECT_EQ(Tree().GetItemText(Group(10)), name);
}

TEST_F(GroupManageTest, TheFirstGroupOfAnEmptyListIsNumberOne) {
  ASSERT_TRUE(m_db.Exec("DELETE FROM CustChatGroupList; DELETE FROM CustChatGroupTag;"));
  COrbChat_GroupManage dialog(&m_frame, &m_session, nullptr);
  m_modal.Drive([](CDialog& d) {
    auto& manage = dynamic_cast<COrbChat_GroupManage&>(d);
    manage.SetDlgItemText(IDC_GROUP_NAME, "第一组");
    manage.SetDlgItemText(IDC_GROUP_TITLE, "第一");
    manage.SendMessage(WM_COMMAND, IDC_MEMBER_ADD);
    manage.SendMessage(WM_COMMAND, IDOK);
  });
  ASSERT_EQ(dialog.DoModal(), IDOK);
  ASSERT_NE(dialog.GetSaved(), nullptr);
  EXPECT_EQ(dialog.GetSaved()->groupid, 1);
  // Without categories the group stands under none.
  EXPECT_EQ(Column("SELECT groupid || '|' || tag || '|' || members FROM CustChatGroupList"), CString("1|0|c1001"));
}

TEST_F(GroupManageTest, ManagingKeepsNumberNameAndCategoryAndStoresOnlyTheMembersShown) {
  // 300 more contacts after the first three: the last ones are not shown.
  ASSERT_TRUE(m_db.Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
                        "INSERT INTO ContactList (contactid, name, role) SELECT 'z' || i, 'z', 'c' FROM n;"));
  ASSERT_TRUE(m_db.Exec("UPDATE CustChatGroupList SET members='c1001,c1002,z300' WHERE groupid=3;"));
  MakeTree();
  std::string members, caption, okText, roles;
  bool nameEnabled = true, categoryEnabled = true;
  int contactRows = 0;
  m_modal.Drive([&](CDialog& d) {
    auto& dialog = dynamic_cast<COrbChat_GroupManage&>(d);
    caption = dialog.GetWindowText().GetString();
    okText = dialog.GetDlgItem(IDOK)->GetWindowText().GetString();
    nameEnabled = ::IsWindowEnabled(::GetDlgItem(dialog.m_hWnd, IDC_GROUP_NAME));
    categoryEnabled = ::IsWindowEnabled(::GetDlgItem(dialog.m_hWnd, IDC_GROUP_CATEGORY));
    members = Ids(dialog.m_listMembers);
    contactRows = dialog.m_listContacts.GetItemCount();
    for (int i = 0; i < 2; ++i)
      roles += reinterpret_cast<const InfoContactStru*>(dialog.m_listMembers.GetItemData(i))->role.GetString();
    Select(dialog.m_listMembers, 0);
    dialog.SendMessage(WM_COMMAND, IDC_MEMBER_REMOVE);  // c1001 leaves
    dialog.SetDlgItemText(IDC_GROUP_TITLE, "新标题");
    dialog.SendMessage(WM_COMMAND, IDOK);
  });
  Command(Group(3), ID_GROUP_MANAGE_MEMBERS);
  EXPECT_EQ(m_modal.TimedOut(), 0);
  EXPECT_EQ(caption, "群组成员管理");
  EXPECT_EQ(okText, "保存");
  EXPECT_FALSE(nameEnabled);
  EXPECT_FALSE(categoryEnabled);
  EXPECT_EQ(members, "c1001 c1002 ");
  EXPECT_EQ(contactRows, 298);  // 300 shown, two of them members
  // A trimmed known role stays; an unknown one becomes the user's own.
  EXPECT_EQ(roles, "cc");
  EXPECT_EQ(Column("SELECT groupid || '|' || name || '|' || tag || '|' || title || '|' || members "
                   "FROM CustChatGroupList WHERE groupid=3"),
            CString("3|评审|2|新标题|c1002"));
  EXPECT_EQ(Column("SELECT count(*) FROM CustChatGroupList"), CString("3"));
  const tag_GroupItemData& record = *Tree().m_arrItemData[0];
  EXPECT_EQ(record.title, CString("新标题"));
  EXPECT_EQ(record.members, CString("c1002"));
  EXPECT_EQ(Tree().GetItemText(record.hItem), CString("评审"));
}

TEST_F(GroupManageTest, AGroupWhoseCategoryHasNoRowKeepsItsCategory) {
  MakeTree();
  m_modal.Drive([](CDialog& d) { d.SendMessage(WM_COMMAND, IDOK); });
  Command(Group(9), ID_GROUP_MANAGE_MEMBERS);  // category 6, members "c1001,"
  EXPECT_EQ(Column("SELECT tag || '|' || members FROM CustChatGroupList WHERE groupid=9"), CString("6|c1001"));
}

TEST_F(GroupManageTest, ALockedDatabaseKeepsTheDialogOpenWithTheInput) {
  COrbChat_GroupManage dialog(&m_frame, &m_session, nullptr);
  sqlite3* other = m_db.OpenRaw();
  CString title;
  m_modal.Drive([&](CDialog& d) {
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    d.SetDlgItemText(IDC_GROUP_NAME, "锁");
    d.SetDlgItemText(IDC_GROUP_TITLE, "锁住");
    d.SendMessage(WM_COMMAND, IDC_MEMBER_ADD);
    d.SendMessage(WM_COMMAND, IDOK);
    d.GetDlgItemText(IDC_GROUP_TITLE, title);
    d.PostMessage(WM_COMMAND, IDCANCEL);
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(dialog.GetSaved(), nullptr);
  EXPECT_EQ(title, CString("锁住"));
  ASSERT_EQ(m_boxes.Count(), 2u);  // the confirmation, then the error
  EXPECT_EQ(m_boxes.Last().caption, CString("错误"));
  EXPECT_EQ(m_boxes.Last().text, CString("群组列表打开失败无法保存！"));
  EXPECT_EQ(Column("SELECT count(*) FROM CustChatGroupList"), CString("3"));
}

// The history viewer opens on the ".msg" beside the user's settings file,
// whatever is selected, and the command returns when it is closed; without a
// server session object nothing opens.
TEST_F(GroupCommandTest, ViewHistoryOpensTheViewerOnTheUsersMessageFile) {
  MakeTree();
  CString path;
  m_modal.Answer(IDCANCEL, [&](CDialog& d) { path = dynamic_cast<CMsgBrowserDlg&>(d).GetPath(); });
  Tree().SelectItem(nullptr);
  Tree().SendMessage(WM_COMMAND, ID_GROUP_VIEW_HISTORY);
  CString expected = m_db.Path();
  expected = expected.Left(expected.ReverseFind('.')) + ".msg";
  EXPECT_STREQ(path, expected);
  EXPECT_EQ(m_modal.Pending(), 0u);

  m_pTree->m_pProtocol = nullptr;
  Tree().SendMessage(WM_COMMAND, ID_GROUP_VIEW_HISTORY);
  EXPECT_EQ(m_modal.Asked().size(), 1u);
}

}  // namespace
