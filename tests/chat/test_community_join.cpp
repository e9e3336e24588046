// Applying to join a community from the community tree's menu: the alias
// asked until given or given up, the registration page's address made from
// the host INI file's template with every value encoded, and handed to the
// shell only when it is a web address. Nothing is opened: the shell seam
// records what would be.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "CMenu.h"
#include "CTestFolder.h"
#include "ChatTestSupport.h"
#include "MessageBoxRecorder.h"
#include "ModalAnswers.h"
#include "PopupMenuRecorder.h"
#include "ScopedSeam.h"
#include "Seams.h"
#include "chat/ModuleHandle.h"
#include "directory/CChatCmtTreeCtrl.h"
#include "directory/COrbChat_SetMyAlias.h"
#include "resources/resource.h"
#include "tagWEB_PROTOCOL_HEAD.h"

namespace {

using OrbTesting::MessageBoxRecorder;
using OrbTesting::ModalAnswers;

constexpr DWORD kTreeStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_LINESATROOT;

class JoinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_session.m_strAlias = "张三";
    m_head.m_strBaseURL = "http://www.example.com/orb/";
    m_tree.m_pProtocol = &m_session;
    m_tree.m_pWebHead = &m_head;
    ASSERT_TRUE(m_tree.CreateEx(0, WC_TREEVIEWA, "", kTreeStyle, CRect(0, 0, 200, 300), &m_frame, 22082));
    ASSERT_TRUE(m_menu.LoadMenu(OrbChatModuleHandle(), IDR_MENU_COMMUNITY));
    m_tree.m_pMenu = m_menu.GetSubMenu(0);
  }
  void Template(const char* value) {
    std::string ini = "[System]\r\nGroupMsgHead=g\r\n[orburl]\r\n";
    if (value) ini += std::string("RegisterGroup=") + value + "\r\n";
    ASSERT_TRUE(m_folder.Write("host.ini", ini));
  }
  // Runs the command with the alias dialogs answered by answers (code and
  // the alias typed), returns what the shell was asked to open.
  std::vector<CString> Join(std::vector<std::pair<INT_PTR, const char*>> answers) {
    for (const auto& [code, alias] : answers)
      m_modal.Answer(code, [this, alias = CString(alias)](CDialog& d) {
        auto& dialog = dynamic_cast<COrbChat_SetMyAlias&>(d);
        m_presets.push_back(dialog.m_strAlias);
        dialog.m_strAlias = alias;
      });
    m_opened.clear();
    m_tree.SendMessage(WM_COMMAND, ID_COMMUNITY_JOIN);
    EXPECT_EQ(m_modal.Pending(), 0u);
    return m_opened;
  }

  CTestFolder m_folder;
  CFakeSession m_session;
  tagWEB_PROTOCOL_HEAD m_head;
  CTestFrame m_frame;
  CMenu m_menu;
  CChatCmtTreeCtrl m_tree;
  MessageBoxRecorder m_boxes;
  ModalAnswers m_modal;
  std::vector<CString> m_presets;
  std::vector<CString> m_opened;
  OrbTesting::ScopedSeam<Seams::ModulePathFn> m_exe{Seams::SetHostExePath,
                                                   [this] { return m_folder.File("host.exe"); }};
  OrbTesting::ScopedSeam<Seams::ShellExecuteFn> m_shell{
      Seams::SetShellExecute, [this](HWND owner, const char* verb, const char* file, const char* params,
                                     const char* dir, int show) {
        EXPECT_EQ(owner, m_tree.GetSafeHwnd());
        EXPECT_STREQ(verb, "open");
        EXPECT_EQ(params, nullptr);
        EXPECT_EQ(dir, nullptr);
        EXPECT_EQ(show, SW_SHOWNORMAL);
        m_opened.push_back(file);
        return reinterpret_cast<HINSTANCE>(42);
      }};
};

TEST_F(JoinTest, TheTemplateIsFilledWithEncodedValuesAndOpened) {
  struct Case {
    const char* label;
    const char* urlTemplate;
    const char* alias;
    const char* url;
  };
  const Case cases[] = {
      {"every placeholder, one twice", "join.asp?id=$userid&name=$username&flag=$userflag&again=$userid", "李四",
       "http://www.example.com/orb/join.asp?id=1001&name=%E6%9D%8E%E5%9B%9B&flag=c1001&again=1001"},
      {"an alias cannot add parameters, a fragment or markup", "http://reg.example.com/j?n=$username&id=$userid",
       "a&id=2#x<b>'", "http://reg.example.com/j?n=a%26id%3D2%23x%3Cb%3E%27&id=1001"},
      {"blanks only are an alias, used as typed", "j?n=$username", "   ", "http://www.example.com/orb/j?n=%20%20%20"},
      {"other letter case is not a placeholder", "j?n=$UserName&i=$USERID", "x",
       "http://www.example.com/orb/j?n=$UserName&i=$USERID"},
      {"a printf placeholder too many stays text", "j?n=$username&s=%s%s", "x",
       "http://www.example.com/orb/j?n=x&s=%25s%25s"},
      {"no placeholder at all", "register.html", "x", "http://www.example.com/orb/register.html"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Template(c.urlTemplate);
    const std::vector<CString> opened = Join({{IDOK, c.alias}});
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_STREQ(opened[0], c.url);
  }
  EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(JoinTest, NothingIsOpenedWithoutAWebAddress) {
  // No INI file, no key, an empty value: nothing, silently.
  EXPECT_TRUE(Join({{IDOK, "x"}}).empty());
  Template(nullptr);
  EXPECT_TRUE(Join({{IDOK, "x"}}).empty());
  Template("");
  EXPECT_TRUE(Join({{IDOK, "x"}}).empty());
  EXPECT_EQ(m_boxes.Count(), 0u);
  // A template that is no web address: refused, and the user is told.
  for (const char* bad : {"javascript:alert('$username')", "file:///c:/windows/system32/calc.exe", "c:\\x.exe"}) {
    SCOPED_TRACE(bad);
    Template(bad);
    m_boxes.Clear();
    EXPECT_TRUE(Join({{IDOK, "x"}}).empty());
    EXPECT_EQ(m_boxes.Count(), 1u);
  }
  // Without the web head or the session object the command does nothing.
  Template("j?n=$username");
  const size_t asked = m_modal.Asked().size();
  m_tree.m_pWebHead = nullptr;
  EXPECT_TRUE(Join({}).empty());
  m_tree.m_pWebHead = &m_head;
  m_tree.m_pProtocol = nullptr;
  EXPECT_TRUE(Join({}).empty());
  EXPECT_EQ(m_modal.Asked().size(), asked);  // no alias was asked for
}

TEST_F(JoinTest, TheAliasIsAskedAgainFromThePresetUntilGivenOrGivenUp) {
  Template("j?n=$username");
  // Cancel, No to giving up: asked again from the preset, not from what was typed.
  m_boxes.Answer(IDNO);
  std::vector<CString> opened = Join({{IDCANCEL, "typed"}, {IDOK, "王五"}});
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_STREQ(opened[0], "http://www.example.com/orb/j?n=%E7%8E%8B%E4%BA%94");
  ASSERT_EQ(m_presets.size(), 2u);
  EXPECT_STREQ(m_presets[1], "张三");
  ASSERT_EQ(m_boxes.Count(), 1u);
  EXPECT_NE(m_boxes.Last().text.Find("是否放弃申请加入群组"), -1);
  EXPECT_EQ(m_boxes.Last().owner, GetDesktopWindow());
  EXPECT_EQ(m_boxes.Last().type, static_cast<UINT>(MB_YESNO | MB_ICONSTOP));

  // Cancel, Yes: given up.
  m_boxes.Clear();
  m_boxes.Answer(IDYES);
  EXPECT_TRUE(Join({{IDCANCEL, ""}}).empty());

  // Empty alias, Yes to going on, then an alias; empty again and No: nothing.
  m_boxes.Clear();
  m_boxes.Answer(IDYES);
  EXPECT_EQ(Join({{IDOK, ""}, {IDOK, "x"}}).size(), 1u);
  EXPECT_NE(m_boxes.Last().text.Find("别名不能为空"), -1);
  m_boxes.Answer(IDNO);
  EXPECT_TRUE(Join({{IDOK, ""}}).empty());
}

TEST_F(JoinTest, TheAliasDialogShowsThePresetAndKeepsWhatIsTyped) {
  COrbChat_SetMyAlias dialog;
  dialog.m_strAlias = "张三";
  CString shown;
  m_modal.Drive([&](CDialog& d) {
    d.GetDlgItemText(IDC_ALIAS_EDIT, shown);
    d.SetDlgItemText(IDC_ALIAS_EDIT, "  新 别名&#<  ");
    d.PostMessage(WM_COMMAND, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_STREQ(shown, "张三");
  EXPECT_STREQ(dialog.GetAlias(), "  新 别名&#<  ");
}

}  // namespace
