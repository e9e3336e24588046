// The chat object tree's context menu and commands with their dialogs, run
// against a real database file: which items a right click enables, each
// command's messages, database rows and mirrored nodes, the two deletes,
// names that could break a statement and a database that cannot be written.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "CMenu.h"
#include "ChatTestSupport.h"
#include "MessageBoxRecorder.h"
#include "MessagePump.h"
#include "ModalAnswers.h"
#include "PopupMenuRecorder.h"
#include "TreeOutline.h"
#include "chat/ModuleHandle.h"
#include "directory/CChatObjTreeCtrl.h"
#include "directory/COrbChat_ContactBrowser.h"
#include "directory/COrbChat_EditTag.h"
#include "directory/COrbChat_ReNameDlg.h"
#include "directory/COrbChat_SelectContactTag.h"
#include "directory/COrbChat_SelectGroupTag.h"
#include "resources/resource.h"

namespace {

using OrbTesting::MessageBoxRecorder;
using OrbTesting::ModalAnswers;
using OrbTesting::PopupMenuRecorder;

constexpr DWORD kTreeStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_HSCROLL | TVS_HASBUTTONS | TVS_LINESATROOT |
                             TVS_SHOWSELALWAYS | TVS_INFOTIP | TVS_FULLROWSELECT;

class TreeCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Record numbers differ from tag numbers, as in a file that has seen
    // tags come and go.
    ASSERT_TRUE(m_db.Insert("CustChatObjectTag", {{"id", 4}, {"tag", 3}, {"name", "同事"}}));
    ASSERT_TRUE(m_db.Insert("CustChatObjectTag", {{"id", 6}, {"tag", 1}, {"name", "Friends"}}));
    ASSERT_TRUE(m_db.Insert("CustChatObjectList",
                            {{"contactid", "c1002"}, {"name", "李四"}, {"alias", ""}, {"tag", 1}, {"role", "c"}}));
    ASSERT_TRUE(m_db.Insert("CustChatObjectList",
                            {{"contactid", "c1003"}, {"name", "王五"}, {"alias", ""}, {"tag", 3}, {"role", "c"}}));
    ASSERT_TRUE(m_db.Insert("CustChatObjectList",
                            {{"contactid", "s3001"}, {"name", "客服"}, {"alias", ""}, {"tag", 9}, {"role", "s"}}));
    m_session.m_login.m_strCustomFilePath = m_db.Path();
  }
  void MakeTree() {
    m_pTree = std::make_unique<CChatObjTreeCtrl>();
    ASSERT_TRUE(m_pTree->CreateEx(0, WC_TREEVIEWA, "", kTreeStyle, CRect(0, 0, 380, 560), &m_frame, 22007));
    if (!m_menu.m_hMenu) {
      ASSERT_TRUE(m_menu.LoadMenu(OrbChatModuleHandle(), IDR_MENU_OBJECT));
    }
    m_pTree->m_pMenu = m_menu.GetSubMenu(0);
    m_pTree->m_pProtocol = &m_session;
    m_pTree->SetDBPath(m_db.Path());
    m_pTree->InitTree();
  }
  CChatObjTreeCtrl& Tree() { return *m_pTree; }
  HTREEITEM Tag(size_t i) { return Tree().m_arrTagData[i]->hItem; }
  HTREEITEM Object(const char* id) { return Tree().FindContactItem(id); }
  void Command(HTREEITEM selected, UINT id) {
    Tree().SelectItem(selected);
    Tree().SendMessage(WM_COMMAND, id);
  }
  std::string Outline() { return OutlineOf(Tree()); }
  std::string Invariants() { return CheckRecords(Tree(), Tree().m_arrTagData, Tree().m_arrItemData); }
  CString Column(const char* sql) { return m_db.Value(sql); }

  CTestChatDb m_db;
  CFakeSession m_session{m_db.Path()};
  CTestFrame m_frame;
  CMenu m_menu;
  std::unique_ptr<CChatObjTreeCtrl> m_pTree;
  MessageBoxRecorder m_boxes;
  ModalAnswers m_modal;
};

// A right click as the user gives it: at a point of the tree's client area.
void RightClick(CTreeCtrl& tree, CPoint point) {
  tree.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(point.x, point.y));
}
CPoint PointOf(const CTreeCtrl& tree, HTREEITEM item) {
  CRect rect;
  EXPECT_TRUE(tree.GetItemRect(item, rect, TRUE));
  return rect.CenterPoint();
}

TEST_F(TreeCommandTest, RightClickEnablesTheCommandsOfTheNodeUnderTheCursor) {
  MakeTree();
  PopupMenuRecorder menus;
  struct Case {
    const char* where;
    CPoint point;
    bool objectItems;
    bool tagItems;
  } cases[] = {
      {"chat object", PointOf(Tree(), Object("s3001")), true, false},
      {"tag", PointOf(Tree(), Tag(0)), false, true},
      {"empty space", CPoint(100, 500), false, true},
  };
  for (const Case& c : cases) {
    // The selection stays where it was, whatever is clicked.
    Tree().SelectItem(Tag(1));
    RightClick(Tree(), c.point);
    ASSERT_EQ(menus.Count(), static_cast<size_t>(&c - cases + 1)) << c.where;
    const OrbTesting::TrackedMenu& menu = menus.Last();
    EXPECT_EQ(menu.owner, Tree().m_hWnd);
    EXPECT_TRUE(menu.flags & TPM_RIGHTBUTTON);
    for (UINT id : {ID_OBJECT_SEND_MESSAGE, ID_OBJECT_EDIT_REMARK, ID_OBJECT_DELETE_CONTACT, ID_OBJECT_MOVE})
      EXPECT_EQ(menu.Find(id)->grayed, !c.objectItems) << c.where << " " << id;
    for (UINT id : {ID_OBJECT_RENAME_TAG, ID_OBJECT_DELETE_TAG})
      EXPECT_EQ(menu.Find(id)->grayed, !c.tagItems) << c.where << " " << id;
    for (UINT id : {ID_OBJECT_ADD_CONTACT, ID_OBJECT_ADD_TAG}) EXPECT_FALSE(menu.Find(id)->grayed) << c.where;
    EXPECT_EQ(Tree().GetSelectedItem(), Tag(1)) << c.where;
  }
}

TEST_F(TreeCommandTest, TheChosenCommandActsOnTheSelectedNodeNotTheClickedOne) {
  MakeTree();
  PopupMenuRecorder menus;
  menus.Choose(ID_OBJECT_RENAME_TAG);
  m_modal.Answer(IDOK, [](CDialog& d) { dynamic_cast<COrbChat_ReNameDlg&>(d).m_strText = "老同事"; });
  Tree().SelectItem(Tag(0));
  RightClick(Tree(), CPoint(100, 500));  // empty space
  ASSERT_TRUE(OrbTesting::PumpUntil([&] { return m_modal.Pending() == 0; }, 2000));
  EXPECT_EQ(Tree().GetItemText(Tag(0)), CString("老同事"));
  EXPECT_EQ(Column("SELECT name FROM CustChatObjectTag WHERE id=4"), CString("老同事"));
}

TEST_F(TreeCommandTest, WithoutAMenuARightClickShowsNothing) {
  MakeTree();
  Tree().m_pMenu = nullptr;
  PopupMenuRecorder menus;
  // The control's own right click follows the mouse until the button is
  // released: the release waits in the queue.
  const CPoint point = PointOf(Tree(), Tag(0));
  Tree().PostMessage(WM_RBUTTONUP, 0, MAKELPARAM(point.x, point.y));
  RightClick(Tree(), point);
  EXPECT_EQ(menus.Count(), 0u);
}

// Adds a tag through the add-tag dialog answered with name.
void AddTag(ModalAnswers& modal, CChatObjTreeCtrl& tree, const char* name) {
  modal.Answer(IDOK, [name](CDialog& d) { dynamic_cast<COrbChat_EditTag&>(d).m_strText = name; });
  tree.SendMessage(WM_COMMAND, ID_OBJECT_ADD_TAG);
}

TEST_F(TreeCommandTest, TheFirstTagOfAnEmptyTableIsNumberOne) {
  ASSERT_TRUE(m_db.Exec("DELETE FROM CustChatObjectTag; DELETE FROM CustChatObjectList;"));
  MakeTree();
  EXPECT_EQ(Outline(), "");
  AddTag(m_modal, Tree(), "  同学  ");
  EXPECT_EQ(Column("SELECT tag FROM CustChatObjectTag WHERE name='同学'"), CString("1"));
  ASSERT_EQ(Tree().m_arrTagData.size(), 1u);
  EXPECT_EQ(Tree().m_arrTagData[0]->tag, 1);
  ASSERT_EQ(m_boxes.Count(), 1u);
  EXPECT_EQ(m_boxes.Last().text, CString("\n已经将分组[同学]添加到会话标签上"));
  EXPECT_EQ(m_boxes.Last().caption, CString("提示"));
  EXPECT_EQ(m_boxes.Last().type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
}

TEST_F(TreeCommandTest, AddingTagsAppendsOnlyNewNamesAndNodesCarryTheirRows) {
  MakeTree();
  // A row another program added, with no node yet.
  ASSERT_TRUE(m_db.Insert("CustChatObjectTag", {{"id", 30}, {"tag", 7}, {"name", "Family"}}));
  struct Case {
    const char* name;
    int rowsAfter;
    const char* message;
  } cases[] = {
      {"同学", 4, "\n已经将分组[同学]添加到会话标签上"},
      {" 同学 ", 4, "\n同学] 标签已经会话对象树上"},
      {"FRIENDS", 4, "\nFRIENDS] 标签已经会话对象树上"},  // differs only in letter case
      {"family", 4, "\n已经将分组[Family]添加到会话标签上"},  // the row's own node
      {"   ", 4, "\n分组名称不能只有空格。"},
  };
  for (const Case& c : cases) {
    AddTag(m_modal, Tree(), c.name);
    EXPECT_EQ(m_db.Count("CustChatObjectTag"), c.rowsAfter) << c.name;
    ASSERT_GT(m_boxes.Count(), 0u);
    EXPECT_EQ(m_boxes.Last().text, CString(c.message)) << c.name;
  }
  EXPECT_EQ(Outline(),
            "同事<tree2.objecttag>(王五<tree2.role.c>) Friends<tree2.objecttag>(李四<tree2.role.c>) "
            "客服<tree2.role.s> 同学<tree2.objecttag> Family<tree2.objecttag>");
  // The new tag is one more than the highest in use; each node carries the
  // number and record number of its row.
  EXPECT_EQ(Tree().m_arrTagData[2]->tag, 8);
  EXPECT_EQ(CString(std::to_string(Tree().m_arrTagData[2]->id).c_str()),
            Column("SELECT id FROM CustChatObjectTag WHERE name='同学'"));
  EXPECT_EQ(Tree().m_arrTagData[3]->tag, 7);
  EXPECT_EQ(Tree().m_arrTagData[3]->id, 30);
  EXPECT_EQ(Invariants(), "");
}

TEST_F(TreeCommandTest, RenamingATagAddedWhileRunningChangesItsOwnRow) {
  MakeTree();
  AddTag(m_modal, Tree(), "新标签");  // tag 4; its record number is not 4
  m_modal.Answer(IDOK, [](CDialog& d) { dynamic_cast<COrbChat_ReNameDlg&>(d).m_strText = "改名"; });
  Command(Tag(2), ID_OBJECT_RENAME_TAG);
  EXPECT_EQ(Column("SELECT name FROM CustChatObjectTag WHERE tag=4"), CString("改名"));
  EXPECT_EQ(Column("SELECT name FROM CustChatObjectTag WHERE id=4"), CString("同事"));
  ASSERT_EQ(m_modal.Asked().size(), 2u);
  EXPECT_EQ(m_modal.Asked()[1].templateId, static_cast<UINT>(IDD_RENAME));
}

TEST_F(TreeCommandTest, NamesThatCouldBreakAStatementAreStoredAsTyped) {
  MakeTree();
  const std::string longName(1000, 'x');
  const char* names[] = {"O'Brien", "100%s%d", "a\\b", "x' OR '1'='1", longName.c_str()};
  int tag = 4;
  for (const char* name : names) {
    AddTag(m_modal, Tree(), name);
    CString sql;
    sql.Format("SELECT name FROM CustChatObjectTag WHERE tag=%d", tag++);
    EXPECT_EQ(Column(sql), CString(name)) << name;
  }
  // A name that is not valid GBK is stored (its broken bytes replaced).
  AddTag(m_modal, Tree(), "\x81\x20\xff");
  EXPECT_EQ(m_db.Count("CustChatObjectTag"), 2 + 6);
  EXPECT_EQ(Tree().m_arrTagData.size(), 2u + 6u);
  // Remarks and contact ids go the same way.
  m_modal.Answer(IDOK, [](CDialog& d) { dynamic_cast<COrbChat_ReNameDlg&>(d).m_strText = "it's 100%"; });
  Command(Object("c1002"), ID_OBJECT_EDIT_REMARK);
  EXPECT_EQ(Column("SELECT alias FROM CustChatObjectList WHERE contactid='c1002'"), CString("it's 100%"));
  Tree().AddContact("x' OR '1'='1", "注入", "c", 1);
  EXPECT_EQ(Column("SELECT name FROM CustChatObjectList WHERE contactid='x'' OR ''1''=''1'"), CString("注入"));
  EXPECT_EQ(m_db.Count("CustChatObjectList"), 4);
  EXPECT_EQ(Invariants(), "");
}

TEST_F(TreeCommandTest, MovingToTheSameTagIsRefusedAndMovingThereAndBackWorks) {
  MakeTree();
  auto choose = [this](int tag) {
    m_modal.Answer(IDOK, [tag](CDialog& d) { dynamic_cast<COrbChat_SelectContactTag&>(d).m_nSelTag = tag; });
  };
  choose(1);  // 李四 stands under tag 1 already
  Command(Object("c1002"), ID_OBJECT_MOVE);
  ASSERT_EQ(m_boxes.Count(), 1u);
  EXPECT_EQ(m_boxes.Last().text, CString("\r\n选择的目标分组标签不能与源分组相同\r\n"));
  choose(3);
  Command(Object("c1002"), ID_OBJECT_MOVE);
  EXPECT_EQ(Column("SELECT tag FROM CustChatObjectList WHERE contactid='c1002'"), CString("3"));
  EXPECT_EQ(Tree().GetSelectedItem(), Object("c1002"));
  choose(1);
  Command(Object("c1002"), ID_OBJECT_MOVE);
  EXPECT_EQ(Column("SELECT tag FROM CustChatObjectList WHERE contactid='c1002'"), CString("1"));
  choose(-1);  // no tag chosen: nothing happens
  Command(Object("c1002"), ID_OBJECT_MOVE);
  EXPECT_EQ(m_boxes.Count(), 1u);
  EXPECT_EQ(Outline(),
            "同事<tree2.objecttag>(王五<tree2.role.c>) Friends<tree2.objecttag>(李四<tree2.role.c>) "
            "客服<tree2.role.s>");
  EXPECT_EQ(Invariants(), "");
}

TEST_F(TreeCommandTest, RemarksShowTrimmedAndABlankRemarkShowsTheName) {
  MakeTree();
  struct Case {
    const char* remark;
    const char* shown;
  } cases[] = {{"  小李 ", "小李"}, {"", "李四"}, {"   ", "李四"}};
  for (const Case& c : cases) {
    m_modal.Answer(IDOK, [&c](CDialog& d) {
      auto& dialog = dynamic_cast<COrbChat_ReNameDlg&>(d);
      EXPECT_EQ(dialog.m_strCaption, CString("修改别名"));
      EXPECT_EQ(dialog.m_strLabel, CString("新的别名"));
      dialog.m_strText = c.remark;
    });
    Command(Object("c1002"), ID_OBJECT_EDIT_REMARK);
    EXPECT_EQ(Tree().GetItemText(Object("c1002")), CString(c.shown)) << c.remark;
    EXPECT_EQ(Column("SELECT alias FROM CustChatObjectList WHERE contactid='c1002'"), CString(c.remark));
  }
  // Cancel changes nothing.
  m_modal.Answer(IDCANCEL);
  Command(Object("c1002"), ID_OBJECT_EDIT_REMARK);
  EXPECT_EQ(Tree().GetItemText(Object("c1002")), CString("李四"));
}

TEST_F(TreeCommandTest, AddingAContactAlreadyOnTheTreeSelectsItAndSaysWhere) {
  MakeTree();
  Tree().AddContact("c1003", "王五", "c", 1);
  EXPECT_EQ(Tree().GetSelectedItem(), Object("c1003"));
  ASSERT_EQ(m_boxes.Count(), 1u);
  EXPECT_EQ(m_boxes.Last().text, CString("\n编号\t=  c1003\r\n姓名\t=  王五\r\n选中的内容已经在【同事】分组中！"));
  Tree().AddContact("s3001", "客服", "s", 1);  // stands under no tag
  EXPECT_EQ(m_boxes.Last().text, CString("\n编号\t=  s3001\r\n姓名\t=  客服\r\n选中的内容已经在【】分组中！"));
  EXPECT_EQ(m_db.Count("CustChatObjectList"), 3);
  // A row without a node keeps its name and remark and takes the tag.
  ASSERT_TRUE(m_db.Insert("CustChatObjectList",
                          {{"contactid", "c1009"}, {"name", "钱九"}, {"alias", "小钱"}, {"tag", 9}, {"role", "c"}}));
  Tree().AddContact("c1009", "钱九", "c", 3);
  EXPECT_EQ(Tree().GetItemText(Object("c1009")), CString("小钱"));
  EXPECT_EQ(Column("SELECT tag FROM CustChatObjectList WHERE contactid='c1009'"), CString("3"));
  EXPECT_EQ(Invariants(), "");
}

TEST_F(TreeCommandTest, DeletingAContactRemovesRowAndNodeAfterConfirmation) {
  MakeTree();
  m_boxes.Answer(IDNO);
  Command(Object("c1003"), ID_OBJECT_DELETE_CONTACT);
  EXPECT_EQ(m_db.Count("CustChatObjectList"), 3);
  ASSERT_EQ(m_boxes.Count(), 1u);
  EXPECT_EQ(m_boxes.Last().type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  m_boxes.Answer(IDYES);
  Command(Object("c1003"), ID_OBJECT_DELETE_CONTACT);
  EXPECT_EQ(Column("SELECT count(*) FROM CustChatObjectList WHERE contactid='c1003'"), CString("0"));
  EXPECT_EQ(Object("c1003"), nullptr);
  EXPECT_EQ(Tree().m_arrItemData.size(), 2u);
  EXPECT_EQ(Invariants(), "");
}

TEST_F(TreeCommandTest, DeletingATagKeepsItsContactsAtTheTopLevel) {
  MakeTree();
  m_boxes.Answer(IDYES);
  Command(Tag(0), ID_OBJECT_DELETE_TAG);  // 同事, tag 3, holding 王五
  EXPECT_EQ(Column("SELECT count(*) FROM CustChatObjectTag WHERE id=4"), CString("0"));
  EXPECT_EQ(Column("SELECT tag FROM CustChatObjectList WHERE contactid='c1003'"), CString("0"));
  EXPECT_EQ(Outline(), "Friends<tree2.objecttag>(李四<tree2.role.c>) 客服<tree2.role.s> 王五<tree2.role.c>");
  EXPECT_EQ(Invariants(), "");
  // A new tag that gets the freed number 3 does not take the contact.
  AddTag(m_modal, Tree(), "新同事");
  AddTag(m_modal, Tree(), "再一个");
  EXPECT_EQ(Column("SELECT tag FROM CustChatObjectTag WHERE name='再一个'"), CString("3"));
  m_pTree.reset();
  MakeTree();
  EXPECT_EQ(Outline(),
            "Friends<tree2.objecttag>(李四<tree2.role.c>) 新同事<tree2.objecttag> 再一个<tree2.objecttag> "
            "王五<tree2.role.c> 客服<tree2.role.s>");
}

TEST_F(TreeCommandTest, ALockedDatabaseLeavesTreeAndFileAsTheyWere) {
  MakeTree();
  sqlite3* other = m_db.OpenRaw();
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  m_modal.Answer(IDOK, [](CDialog& d) { dynamic_cast<COrbChat_ReNameDlg&>(d).m_strText = "新名"; });
  Command(Tag(0), ID_OBJECT_RENAME_TAG);
  m_boxes.Answer(IDYES);
  Command(Object("c1002"), ID_OBJECT_DELETE_CONTACT);
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(Tree().GetItemText(Tag(0)), CString("同事"));
  EXPECT_NE(Object("c1002"), nullptr);
  EXPECT_EQ(Column("SELECT name FROM CustChatObjectTag WHERE id=4"), CString("同事"));
  ASSERT_GE(m_boxes.Count(), 2u);
  EXPECT_NE(m_boxes.Last().text.Find("没有保存"), -1);
}

// The real dialogs, driven inside their modal loops.
TEST_F(TreeCommandTest, TagSelectionListsTagsByNumberAndHandsBackTheChosenOne) {
  MakeTree();
  m_modal.Drive([](CDialog& d) {
    auto& dialog = dynamic_cast<COrbChat_SelectContactTag&>(d);
    EXPECT_EQ(dialog.m_arrTags, (std::vector<int>{1, 3}));
    HWND combo = ::GetDlgItem(dialog.m_hWnd, IDC_CONTACT_TAG_COMBO);
    EXPECT_EQ(::SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
    ::SendMessageA(combo, CB_SETCURSEL, 1, 0);
    dialog.PostMessage(WM_COMMAND, IDOK);
  });
  Command(Object("c1002"), ID_OBJECT_MOVE);
  EXPECT_EQ(Column("SELECT tag FROM CustChatObjectList WHERE contactid='c1002'"), CString("3"));
  EXPECT_EQ(m_modal.TimedOut(), 0);
  // The category dialog: a typed name selects nothing and hands back -1.
  ASSERT_TRUE(m_db.Insert("CustChatGroupTag", {{"tag", 2}, {"name", "项目"}}));
  COrbChat_SelectGroupTag groups(&m_frame, &m_session);
  m_modal.Drive([](CDialog& d) {
    ::SendMessageA(::GetDlgItem(d.m_hWnd, IDC_GROUP_TAG_COMBO), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    d.SetDlgItemText(IDC_GROUP_TAG_COMBO, "新分类");
    d.PostMessage(WM_COMMAND, IDOK);
  });
  EXPECT_EQ(groups.DoModal(), IDOK);
  EXPECT_EQ(groups.m_nSelTag, -1);
  EXPECT_EQ(groups.m_strSelName, CString(""));
  // Without a login record the list is empty and OK hands back -1.
  CFakeSession loggedOut;
  COrbChat_SelectContactTag empty(&m_frame, &loggedOut);
  m_modal.Drive([](CDialog& d) { d.PostMessage(WM_COMMAND, IDOK); });
  EXPECT_EQ(empty.DoModal(), IDOK);
  EXPECT_EQ(empty.m_nSelTag, -1);
}

TEST_F(TreeCommandTest, TheTagDialogRefusesAnEmptyNameAndTheRenameDialogAcceptsOne) {
  COrbChat_EditTag edit(&m_frame);
  m_modal.Drive([](CDialog& d) {
    d.SendMessage(WM_COMMAND, IDOK);  // empty: stays open
    d.SetDlgItemText(IDC_TAG_NAME, "  ");
    d.PostMessage(WM_COMMAND, IDOK);
  });
  EXPECT_EQ(edit.DoModal(), IDOK);
  EXPECT_EQ(edit.m_strText, CString("  "));
  ASSERT_EQ(m_boxes.Count(), 1u);
  EXPECT_EQ(m_boxes.Last().text, CString("标签内容不能为空"));
  EXPECT_EQ(m_boxes.Last().type, static_cast<UINT>(MB_OK | MB_ICONERROR));

  COrbChat_ReNameDlg rename(&m_frame, "旧名");
  CString caption, label, initial;
  m_modal.Drive([&](CDialog& d) {
    caption = d.GetWindowText();
    d.GetDlgItemText(IDC_RENAME_LABEL, label);
    d.GetDlgItemText(IDC_RENAME_TEXT, initial);
    d.SetDlgItemText(IDC_RENAME_TEXT, "");
    d.PostMessage(WM_COMMAND, IDOK);
  });
  EXPECT_EQ(rename.DoModal(), IDOK);
  EXPECT_EQ(caption, CString("修改备注信息"));
  EXPECT_EQ(label, CString("新的别名"));
  EXPECT_EQ(initial, CString("旧名"));
  EXPECT_EQ(rename.m_strText, CString(""));
}

std::string CellText(HWND list, int row, int column) {
  char text[64] = {};
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return text;
}

// The contact browser over 250 contacts: pages, empty slots and a pick.
TEST_F(TreeCommandTest, TheContactBrowserPagesAHundredAtATimeAndAddsThePick) {
  ASSERT_TRUE(m_db.Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 250) "
                        "INSERT INTO ContactList(contactid, name, role) SELECT 'c' || (5000 + i), 'P' || i, ' t ' "
                        "FROM n"));
  MakeTree();
  m_modal.Drive([this](CDialog& d) {
    auto& browser = dynamic_cast<COrbChat_ContactBrowser&>(d);
    EXPECT_TRUE(browser.IsConnected());
    EXPECT_EQ(browser.GetPageCount(), 3);
    browser.OnPrevPage();  // on the first page: stays
    EXPECT_EQ(browser.GetCurrentPage(), 1);
    browser.OnLastPage();
    browser.OnNextPage();  // on the last page: stays
    EXPECT_EQ(browser.GetCurrentPage(), 3);
    CString status;
    d.GetDlgItemText(IDC_PAGE_STATUS, status);
    EXPECT_EQ(status, CString(" 共 250 条记录, 共 3 页, 当前第 3 页"));
    HWND list = ::GetDlgItem(d.m_hWnd, IDC_CONTACT_LIST);
    EXPECT_EQ(CellText(list, 99, 1), "");  // row 300 is an empty slot
    EXPECT_TRUE(browser.RowRecord(50).contactid.IsEmpty());
    EXPECT_EQ(browser.RowRecord(49).contactid, CString("c5250"));
    EXPECT_EQ(CellText(list, 0, 1), "201");
    EXPECT_EQ(CellText(list, 49, 3), "P250");
    browser.OnFirstPage();
    // The pick chooses the tag in the tag dialog.
    m_modal.Answer(IDOK, [](CDialog& t) {
      auto& tags = dynamic_cast<COrbChat_SelectContactTag&>(t);
      tags.m_nSelTag = 3;
      tags.m_strSelName = "同事";
    });
    browser.PickRow(1);
  });
  Command(Tag(0), ID_OBJECT_ADD_CONTACT);
  EXPECT_EQ(m_modal.TimedOut(), 0);
  ASSERT_NE(Object("c5002"), nullptr);
  EXPECT_EQ(Tree().GetParentItem(Object("c5002")), Tag(0));
  EXPECT_EQ(Column("SELECT name || '/' || tag || '/' || role || '/' || alias FROM CustChatObjectList "
                   "WHERE contactid='c5002'"),
            CString("P2/3/t/"));
  ASSERT_GE(m_boxes.Count(), 1u);
  EXPECT_EQ(m_boxes.Last().text,
            CString("\n选中内容 \n编号\t=  c5002\r\n姓名\t=  P2\r\n角色\t=  t\r\n分级\t=  同事(3)\r\n"));
  EXPECT_EQ(Invariants(), "");
}

TEST_F(TreeCommandTest, TheContactBrowserRefusesEmptyPicksAndAddsNothingWithoutOne) {
  MakeTree();
  struct Case {
    int row;
    const char* message;
  } cases[] = {{-1, "你没有选中"}, {0, "选中内容为空"}};  // ContactList is empty
  for (const Case& c : cases) {
    m_modal.Drive([&c](CDialog& d) {
      auto& browser = dynamic_cast<COrbChat_ContactBrowser&>(d);
      EXPECT_EQ(browser.GetPageCount(), 1);
      browser.PickRow(c.row);
    });
    Command(Tag(0), ID_OBJECT_ADD_CONTACT);
    EXPECT_EQ(m_boxes.Last().text, CString(c.message));
  }
  m_modal.Drive([](CDialog& d) { d.PostMessage(WM_COMMAND, IDOK); });  // "添加" without a pick
  Command(Tag(0), ID_OBJECT_ADD_CONTACT);
  EXPECT_EQ(Tree().m_arrItemData.size(), 3u);
  EXPECT_EQ(m_modal.TimedOut(), 0);
}

}  // namespace
