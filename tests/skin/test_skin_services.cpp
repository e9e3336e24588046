// The skin's services: message boxes and popup menus through the framework's
// seams, named colours, and the icons drawn at run time.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OrbSkin.h"
#include "Seams.h"
#include "TestWindow.h"

namespace {

// ---------------------------------------------------------------------------
// Message boxes

struct AskedBox {
  HWND owner;
  std::string text;
  std::string caption;
  UINT type;
};

class MessageBoxSeam : public ::testing::Test {
 protected:
  void SetUp() override {
    Seams::SetMessageBox([this](HWND owner, const char* text, const char* caption, UINT type) {
      m_asked.push_back({owner, text, caption, type});
      return m_nAnswer;
    });
  }
  void TearDown() override { Seams::SetMessageBox(nullptr); }
  std::vector<AskedBox> m_asked;
  int m_nAnswer = IDOK;
};

TEST_F(MessageBoxSeam, TextCaptionTypeAndOwnerReachTheSeamAndTheAnswerComesBack) {
  TestWindow tree = TestWindow::Parent();
  struct Row {
    HWND owner;
    const char* text;
    const char* caption;
    UINT type;
    int answer;
  } rows[] = {
      {tree, "\r\n选择的目标分组标签不能与源分组相同\r\n", "提示", MB_ICONEXCLAMATION, IDOK},
      {nullptr, "发送内容为空!\r\n", "提示信息", 64, IDOK},
      {nullptr, "群组名称不能为空！", "错误", MB_ICONERROR, IDOK},
      {GetDesktopWindow(), "申请加入群的别名不能为空", "提示", MB_YESNO | MB_ICONSTOP, IDNO},
  };
  for (const Row& row : rows) {
    m_nAnswer = row.answer;
    EXPECT_EQ(dsMessageBox(row.owner, row.text, row.caption, row.type), row.answer);
  }
  ASSERT_EQ(m_asked.size(), std::size(rows));
  for (size_t i = 0; i < m_asked.size(); ++i) {
    EXPECT_EQ(m_asked[i].owner, rows[i].owner);
    EXPECT_EQ(m_asked[i].text, rows[i].text);
    EXPECT_EQ(m_asked[i].caption, rows[i].caption);
    EXPECT_EQ(m_asked[i].type, rows[i].type);
  }
}

TEST_F(MessageBoxSeam, NullTextsArriveEmpty) {
  dsMessageBox(nullptr, nullptr, nullptr, MB_OK);
  ASSERT_EQ(m_asked.size(), 1u);
  EXPECT_EQ(m_asked[0].text, "");
  EXPECT_EQ(m_asked[0].caption, "");
}

// ---------------------------------------------------------------------------
// Popup menus

struct TrackedMenu {
  HMENU menu;
  UINT flags;
  int x, y;
  HWND owner;
};

class PopupMenuSeam : public ::testing::Test {
 protected:
  void SetUp() override {
    m_menu = CreatePopupMenu();
    AppendMenuA(m_menu, MF_STRING, 32833, "发送即时消息");
    AppendMenuA(m_menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(m_menu, MF_STRING | MF_GRAYED, 32834, "修改备注信息");
    AppendMenuA(m_menu, MF_STRING, 32789, "添加联系人");
    Seams::SetTrackPopupMenu([this](HMENU menu, UINT flags, int x, int y, HWND owner) {
      m_tracked.push_back({menu, flags, x, y, owner});
      return m_nChoice;
    });
  }
  void TearDown() override {
    Seams::SetTrackPopupMenu(nullptr);
    DestroyMenu(m_menu);
  }
  // The WM_COMMAND messages waiting for the owner (taken off the queue).
  std::vector<WPARAM> Commands(HWND owner) {
    std::vector<WPARAM> commands;
    MSG msg;
    for (int i = 0; i < 100 && PeekMessageA(&msg, owner, WM_COMMAND, WM_COMMAND, PM_REMOVE); ++i) {
      commands.push_back(msg.wParam);
    }
    return commands;
  }
  HMENU m_menu = nullptr;
  UINT m_nChoice = 0;
  std::vector<TrackedMenu> m_tracked;
};

TEST_F(PopupMenuSeam, ChosenCommandIsPostedToTheOwnerOnce) {
  TestWindow tree = TestWindow::Parent();
  m_nChoice = 32789;
  EXPECT_TRUE(dsTrackPopupMenu(m_menu, TPM_RIGHTBUTTON, 120, 340, tree, nullptr));
  ASSERT_EQ(m_tracked.size(), 1u);
  EXPECT_EQ(m_tracked[0].menu, m_menu);
  EXPECT_EQ(m_tracked[0].x, 120);
  EXPECT_EQ(m_tracked[0].y, 340);
  EXPECT_EQ(m_tracked[0].owner, tree.Get());
  EXPECT_TRUE(m_tracked[0].flags & TPM_RIGHTBUTTON);
  EXPECT_EQ(Commands(tree), (std::vector<WPARAM>{32789}));
}

TEST_F(PopupMenuSeam, WithReturnCommandTheChoiceIsReturnedNotPosted) {
  TestWindow form = TestWindow::Parent();
  m_nChoice = 32833;
  EXPECT_EQ(dsTrackPopupMenu(m_menu, TPM_RETURNCMD, 0, 0, form, nullptr), 32833u);
  EXPECT_TRUE(Commands(form).empty());
}

TEST_F(PopupMenuSeam, CommandsThatCannotBeChosenAreDropped) {
  TestWindow tree = TestWindow::Parent();
  for (UINT choice : {0u, 32834u /* grayed */, 40000u /* not in the menu */}) {
    m_nChoice = choice;
    EXPECT_TRUE(dsTrackPopupMenu(m_menu, 0, 0, 0, tree, nullptr)) << choice;
    EXPECT_EQ(dsTrackPopupMenu(m_menu, TPM_RETURNCMD, 0, 0, tree, nullptr), 0u) << choice;
  }
  EXPECT_TRUE(Commands(tree).empty());
}

TEST_F(PopupMenuSeam, NoMenuShowsNothing) {
  TestWindow tree = TestWindow::Parent();
  EXPECT_EQ(dsTrackPopupMenu(nullptr, 0, 0, 0, tree, nullptr), 0u);
  EXPECT_TRUE(m_tracked.empty());
}

// ---------------------------------------------------------------------------
// Colours

int Luminance(COLORREF c) { return (GetRValue(c) * 299 + GetGValue(c) * 587 + GetBValue(c) * 114) / 1000; }

TEST(NamedColours, MessageColoursAreDistinctAndReadableOnWhite) {
  const COLORREF own = dsGetColor("system.border");
  const COLORREF others = dsGetColor("system.font");
  const COLORREF system = dsGetColor("system.warning");
  EXPECT_NE(own, others);
  EXPECT_NE(own, system);
  EXPECT_NE(others, system);
  for (COLORREF c : {own, others, system}) {
    EXPECT_EQ(c & 0xFF000000, 0u) << "a plain 0x00BBGGRR value";
    EXPECT_LT(Luminance(c), 160) << std::hex << c;
  }
  EXPECT_GT(GetRValue(system), GetGValue(system) + 100) << "warnings are red";
}

TEST(NamedColours, BlueLabelsAreBlueAndPanesLight) {
  for (const char* item : {"staticdeepblue", "staticblue"}) {
    COLORREF c = dsGetColor(item);
    EXPECT_GT(GetBValue(c), GetRValue(c) + 100) << item;
    EXPECT_GT(GetBValue(c), GetGValue(c)) << item;
  }
  EXPECT_EQ(dsGetColor("system.pane"), RGB(255, 255, 255));
  EXPECT_GT(Luminance(dsGetColor("system.background")), 200);
}

TEST(NamedColours, NamesIgnoreCaseAndUnknownNamesGiveTheTextColour) {
  EXPECT_EQ(dsGetColor("SYSTEM.Border"), dsGetColor("system.border"));
  EXPECT_EQ(dsGetColor("no.such.item"), dsGetColor("system.font"));
  EXPECT_EQ(dsGetColor(""), dsGetColor("system.font"));
  EXPECT_EQ(dsGetColor(nullptr), dsGetColor("system.font"));
}

// ---------------------------------------------------------------------------
// Icons

struct IconPixels {
  int width = 0, height = 0;
  std::vector<DWORD> colour;  // 0x00RRGGBB, top-down
  std::vector<bool> transparent;
  COLORREF At(int x, int y) const {
    DWORD p = colour[static_cast<size_t>(y * width + x)];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  bool Clear(int x, int y) const { return transparent[static_cast<size_t>(y * width + x)]; }
};

IconPixels Read(HICON icon) {
  IconPixels out;
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return out;
  BITMAP bm{};
  GetObjectA(info.hbmColor, sizeof bm, &bm);
  out.width = bm.bmWidth;
  out.height = bm.bmHeight;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = out.width;
  bi.bmiHeader.biHeight = -out.height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  HDC dc = GetDC(nullptr);
  out.colour.resize(static_cast<size_t>(out.width * out.height));
  GetDIBits(dc, info.hbmColor, 0, static_cast<UINT>(out.height), out.colour.data(), &bi, DIB_RGB_COLORS);
  std::vector<DWORD> mask(out.colour.size());
  GetDIBits(dc, info.hbmMask, 0, static_cast<UINT>(out.height), mask.data(), &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  for (DWORD m : mask) out.transparent.push_back((m & 0xFFFFFF) != 0);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return out;
}

struct IconRow {
  const char* name;
  int size;
};

class SkinIcon : public ::testing::TestWithParam<IconRow> {};

TEST_P(SkinIcon, HasItsSizeAClearCornerAndASolidMiddle) {
  HICON icon = dsCreateIcon(GetParam().name);
  ASSERT_NE(icon, nullptr);
  IconPixels px = Read(icon);
  DestroyIcon(icon);
  EXPECT_EQ(px.width, GetParam().size);
  EXPECT_EQ(px.height, GetParam().size);
  ASSERT_EQ(px.transparent.size(), static_cast<size_t>(GetParam().size * GetParam().size));
  EXPECT_TRUE(px.Clear(0, 0)) << "the top-left corner is see-through";
  int middle = GetParam().size / 2;
  EXPECT_FALSE(px.Clear(middle, middle + 1)) << "the picture covers the middle";
  int solid = 0;
  for (bool clear : px.transparent) solid += !clear;
  EXPECT_GT(solid, GetParam().size * GetParam().size / 5);
}

INSTANTIATE_TEST_SUITE_P(Names, SkinIcon,
                         ::testing::Values(IconRow{"tree2.role.a", 16}, IconRow{"tree2.role.b", 16},
                                           IconRow{"tree2.role.h", 16}, IconRow{"tree2.objecttag", 16},
                                           IconRow{"tree2.grouptag", 16}, IconRow{"tree2.communitytag", 16},
                                           IconRow{"role.a", 20}, IconRow{"role.z", 20}),
                         [](const ::testing::TestParamInfo<IconRow>& info) {
                           std::string name = info.param.name;
                           for (char& c : name) c = c == '.' ? '_' : c;
                           return name;
                         });

TEST(SkinIcons, RolesAndTagKindsLookDifferent) {
  auto Signature = [](const char* name) {
    HICON icon = dsCreateIcon(name);
    IconPixels px = Read(icon);
    DestroyIcon(icon);
    return px.colour;
  };
  const char* distinct[] = {"tree2.role.a", "tree2.role.c", "tree2.role.b", "tree2.role.h",
                            "tree2.objecttag", "tree2.grouptag", "tree2.communitytag"};
  for (size_t i = 0; i < std::size(distinct); ++i) {
    for (size_t j = i + 1; j < std::size(distinct); ++j) {
      EXPECT_NE(Signature(distinct[i]), Signature(distinct[j])) << distinct[i] << " and " << distinct[j];
    }
  }
  EXPECT_EQ(Signature("tree2.role.a"), Signature("tree2.role.a")) << "the same name draws the same icon";
}

TEST(SkinIcons, OtherNamesGiveNoIcon) {
  for (const char* name : {"", "tree2.role.", "role.", "tree2.unknown", "static", "btnface"}) {
    HICON icon = dsCreateIcon(name);
    EXPECT_EQ(icon, nullptr) << name;
    if (icon) DestroyIcon(icon);
  }
  EXPECT_EQ(dsCreateIcon(nullptr), nullptr);
}

}  // namespace
