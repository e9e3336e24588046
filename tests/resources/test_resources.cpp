// Every dialog template, menu and bitmap of OrbChat.dll, loaded from the DLL
// itself: each template is created and its controls are compared, in order,
// with the table below (id, class, text as code page 936 bytes, style,
// rectangle); each menu is compared item by item.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "DialogTemplateReader.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

const char* const kAnyText = nullptr;  // text not compared (pictures)

struct ControlRow {
  int id;
  const char* cls;
  const char* text;  // kAnyText: not compared
  DWORD style;       // bits that must be set
  DWORD typeMask;    // field of the style that must equal style's bits exactly
  RECT dlu;          // as the template table gives it; all -1: not compared
};

enum class RectForm { XYWH, LTRB };

struct TemplateRow {
  const char* name;
  int id;
  const char* caption;
  DWORD style;  // bits that must be set; WS_VISIBLE is compared exactly
  int cx, cy;
  const char* face;
  int points;
  RectForm form;
  std::vector<ControlRow> controls;
};

constexpr RECT kFree{-1, -1, -1, -1};
constexpr DWORD kBtn = BS_TYPEMASK | WS_VISIBLE;
constexpr DWORD kStatic = SS_TYPEMASK | WS_VISIBLE;
constexpr DWORD kCombo = 0x3 | CBS_SORT | CBS_OWNERDRAWFIXED | WS_VISIBLE;
constexpr DWORD kVis = WS_VISIBLE;
constexpr DWORD kTreeStyle = TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_INFOTIP | TVS_FULLROWSELECT |
                             WS_BORDER | WS_TABSTOP | WS_HSCROLL;
constexpr DWORD kPopup = DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kModal = kPopup | DS_MODALFRAME;
constexpr DWORD kList = LVS_REPORT | WS_BORDER | WS_VISIBLE;

ControlRow Ok(const char* text, RECT r, DWORD kind = BS_PUSHBUTTON) { return {IDOK, "Button", text, kind | kVis, kBtn, r}; }
ControlRow Cancel(const char* text, RECT r) { return {IDCANCEL, "Button", text, BS_PUSHBUTTON | kVis, kBtn, r}; }
ControlRow Button(int id, const char* text, RECT r) { return {id, "Button", text, BS_PUSHBUTTON | kVis, kBtn, r}; }
ControlRow Label(int id, const char* text, RECT r, DWORD extra = 0) {
  return {id, "Static", text, SS_LEFT | extra | kVis, kStatic, r};
}
ControlRow Picture(int id, RECT r) { return {id, "Static", kAnyText, SS_BITMAP | kVis, kStatic, r}; }
ControlRow Edit(int id, RECT r) { return {id, "Edit", "", WS_BORDER | ES_AUTOHSCROLL | kVis, kVis, r}; }
ControlRow Combo(int id, DWORD style, RECT r) { return {id, "ComboBox", "", style | kVis, kCombo, r}; }
ControlRow Tree(int id, bool visible, RECT r) {
  return {id, "SysTreeView32", "", kTreeStyle | (visible ? kVis : 0), kTreeStyle | kVis, r};
}
ControlRow ListView(int id, RECT r) { return {id, "SysListView32", "", kList, LVS_TYPEMASK | kVis, r}; }

const std::vector<TemplateRow>& Templates() {
  static const std::vector<TemplateRow> rows = {
      {"HostPanel", 22000, "", DS_SETFONT | WS_CHILD | WS_VISIBLE, 200, 266, "Microsoft Sans Serif", 8, RectForm::XYWH,
       {
           {22000, "Button", "", BS_AUTORADIOBUTTON | BS_PUSHLIKE | BS_NOTIFY | kVis, kBtn | BS_PUSHLIKE | BS_NOTIFY,
            {7, 7, 46, 15}},
           {22001, "Button", "", BS_AUTORADIOBUTTON | BS_PUSHLIKE | BS_NOTIFY | kVis, kBtn | BS_PUSHLIKE | BS_NOTIFY,
            {56, 7, 46, 15}},
           {22081, "Button", "", BS_AUTORADIOBUTTON | BS_PUSHLIKE | kVis, kBtn | BS_PUSHLIKE | BS_NOTIFY,
            {105, 7, 44, 15}},
           Tree(22007, true, {16, 22, 120, 137}),
           Tree(22008, false, {35, 39, 121, 149}),
           Tree(22082, false, {56, 70, 121, 145}),
       }},
      {"ChatManager", 22003, "对话框管理器", kModal, 189, 128, "MS Shell Dlg", 9, RectForm::XYWH,
       {
           Ok("确定", {79, 107, 50, 14}),
           Cancel("取消", {132, 107, 50, 14}),
       }},
      {"ConversationWindow", 22004, "对话框", kPopup | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 290, 243,
       "MS Shell Dlg", 8, RectForm::LTRB,
       {
           Ok("关闭", {179, 222, 219, 236}, BS_DEFPUSHBUTTON),
           Button(22042, "发送", {222, 222, 262, 236}),
           Button(22085, "Button1", {263, 223, 270, 236}),
           Label(22011, "按钮区", {7, 7, 199, 16}),
           Label(22016, "广告区", {202, 7, 283, 15}),
           Label(22025, "垂直分隔", {197, 42, 205, 217}, SS_NOTIFY),
           Label(22026, "水平分隔", {7, 153, 192, 161}, SS_NOTIFY),
           Label(22029, "消息区", {7, 42, 193, 150}),
           Label(22030, "编辑区", {7, 176, 192, 221}),
           Label(22046, "参与人", {210, 42, 283, 220}),
           Combo(22037, CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL, {7, 163, 53, 244}),
           Combo(22038, CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL, {53, 163, 76, 245}),
           Combo(22040, CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_SORT | WS_VSCROLL, {76, 163, 105, 236}),
           Combo(22041, CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_SORT | WS_VSCROLL, {105, 162, 134, 235}),
           Button(22033, "表情", {134, 161, 150, 173}),
           Button(22032, "图片", {149, 161, 166, 173}),
           Button(22083, "截屏", {167, 161, 183, 172}),
       }},
      {"EmoticonPicker", 22005, "表情", kModal, 138, 68, "MS Shell Dlg", 8, RectForm::XYWH, {}},
      {"InfoPane", 22006, "", DS_SETFONT | WS_CHILD, 87, 200, "MS Shell Dlg", 8, RectForm::LTRB,
       {
           Label(22043, "", {7, 7, 80, 16}),
           Label(22048, "", {7, 21, 80, 193}),
       }},
      {"MembersPane", 22012, "", DS_SETFONT | WS_CHILD, 85, 200, "MS Shell Dlg", 8, RectForm::LTRB,
       {
           {22010, "ListBox", "",
            LBS_OWNERDRAWFIXED | LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | kVis,
            LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE | LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | kVis,
            {7, 7, 78, 193}},
       }},
      {"ContactBrowser", 22013, "联系人浏览", kPopup | WS_THICKFRAME, 330, 228, "MS Shell Dlg", 8, RectForm::XYWH,
       {
           ListView(22053, kFree),
           Label(22078, "编号", kFree),
           Edit(22075, kFree),
           Label(22079, "姓名", kFree),
           Edit(22059, kFree),
           Button(22077, "查找", kFree),
           Button(22071, "首页", kFree),
           Button(22072, "上一页", kFree),
           Button(22073, "下一页", kFree),
           Button(22074, "末页", kFree),
           Label(22080, "静态", kFree),
           Ok("添加", kFree),
           Cancel("关闭", kFree),
       }},
      {"SelectContactTag", 22014, "对象选择分组", kModal, 137, 45, "MS Shell Dlg", 8, RectForm::XYWH,
       {
           Ok("确定", {7, 26, 50, 14}, BS_DEFPUSHBUTTON),
           Cancel("取消", {82, 26, 50, 14}),
           {22055, "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | kVis, kCombo, {73, 7, 61, 60}},
           {-1, "Static", "选择一个分组", SS_LEFTNOWORDWRAP | SS_CENTERIMAGE | kVis, kStatic | SS_CENTERIMAGE,
            {28, 9, 42, 9}},
           Picture(22057, {7, 4, 18, 18}),
       }},
      {"EditTag", 22015, "添加标签", kModal, 154, 50, "MS Shell Dlg", 8, RectForm::XYWH,
       {
           Ok("确定", kFree),
           Cancel("取消", kFree),
           Picture(22057, kFree),
           Label(-1, "标签名称", kFree),
           Edit(22058, kFree),
       }},
      {"Rename", 22017, "修改备注信息", kModal, 127, 39, "MS Shell Dlg", 8, RectForm::XYWH,
       {
           Ok("确定", kFree),
           Cancel("取消", kFree),
           Label(22061, "新的别名", kFree),
           Edit(22059, kFree),
       }},
      {"SelectGroupTag", 22018, "群组选择分类", kModal, 135, 47, "MS Shell Dlg", 8, RectForm::XYWH,
       {
           Ok("确定", {7, 26, 50, 14}, BS_DEFPUSHBUTTON),
           Cancel("取消", {78, 26, 50, 14}),
           Picture(-1, {7, 4, 18, 18}),
           Label(-1, "选择一个分类", {27, 9, 42, 8}),
           {22060, "ComboBox", "", CBS_DROPDOWN | WS_VSCROLL | kVis, kCombo, {69, 7, 59, 56}},
       }},
      {"GroupManage", 22019, "新建群组", kModal, 320, 210, "MS Shell Dlg", 8, RectForm::XYWH,
       {
           Label(-1, "群组分类", kFree),
           Combo(22062, CBS_DROPDOWNLIST | WS_VSCROLL, kFree),
           Label(-1, "群名称", kFree),
           Edit(22063, kFree),
           Label(-1, "群组标题", kFree),
           Edit(22064, kFree),
           Label(-1, "联系人列表", kFree),
           Label(-1, "群组成员", kFree),
           ListView(22053, kFree),
           Button(22066, ">>", kFree),
           Button(22067, "<<", kFree),
           ListView(22065, kFree),
           Label(22069, "", kFree),
           Label(22070, "", kFree),
           Ok("确定", kFree),
           Cancel("取消", kFree),
       }},
      {"SetMyAlias", 22020, "设置别名", kModal, 135, 46, "MS Shell Dlg", 8, RectForm::XYWH,
       {
           Ok("确定", {7, 29, 50, 14}, BS_DEFPUSHBUTTON),
           Cancel("取消", {82, 29, 50, 14}),
           Picture(-1, {7, 4, 18, 18}),
           Label(-1, "输入别名：", {28, 9, 38, 8}),
           Edit(22086, {65, 7, 65, 14}),
       }},
  };
  return rows;
}

HMODULE OrbChatDll() {
  static HMODULE dll = [] {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    return LoadLibraryA("OrbChat.dll");
  }();
  return dll;
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// A hidden top-level window for the child templates to live in.
HWND HostWindow() {
  static HWND host = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OrbResourceTestHost";
    RegisterClassA(&wc);
    return CreateWindowA(wc.lpszClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 800, 700, nullptr, nullptr, wc.hInstance,
                         nullptr);
  }();
  return host;
}

std::string TextOf(HWND wnd) {
  int n = GetWindowTextLengthA(wnd);
  std::string text(static_cast<size_t>(n) + 1, '\0');
  n = GetWindowTextA(wnd, text.data(), n + 1);
  text.resize(static_cast<size_t>(n));
  return text;
}

std::string ClassOf(HWND wnd) {
  char name[64] = {};
  GetClassNameA(wnd, name, sizeof name);
  return name;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return s;
}

bool IsPicture(const ControlRow& row) { return row.text == kAnyText; }
bool IsCombo(const ControlRow& row) { return Upper(row.cls) == "COMBOBOX"; }

// The row's rectangle as x, y, width, height in dialog units.
RECT XywhOf(const ControlRow& row, RectForm form) {
  RECT r = row.dlu;
  if (form == RectForm::LTRB) r = {r.left, r.top, r.right - r.left, r.bottom - r.top};
  return r;
}

RECT ChildRect(HWND dlg, HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::vector<HWND> ChildrenOf(HWND dlg) {
  std::vector<HWND> children;
  for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
  return children;
}

void PrintTo(const TemplateRow& row, std::ostream* os) { *os << row.name << " " << row.id; }

class DialogTemplate : public ::testing::TestWithParam<TemplateRow> {};

TEST_P(DialogTemplate, WrittenAsSpecified) {
  const TemplateRow& row = GetParam();
  ASSERT_NE(OrbChatDll(), nullptr) << "OrbChat.dll did not load";
  TemplateInfo info;
  ASSERT_TRUE(DialogTemplateReader::Read(OrbChatDll(), row.id, info)) << "no well-formed template " << row.id;
  EXPECT_EQ(info.caption, row.caption);
  EXPECT_EQ(info.style & row.style, row.style) << std::hex << info.style;
  const DWORD frame = WS_VISIBLE | WS_CHILD | WS_POPUP | DS_MODALFRAME | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  EXPECT_EQ(info.style & frame, row.style & frame) << std::hex << info.style;
  EXPECT_EQ(info.cx, row.cx);
  EXPECT_EQ(info.cy, row.cy);
  EXPECT_EQ(info.face, row.face);
  EXPECT_EQ(info.points, row.points);

  ASSERT_EQ(info.items.size(), row.controls.size());
  for (size_t i = 0; i < info.items.size(); ++i) {
    const ControlRow& want = row.controls[i];
    const TemplateItem& got = info.items[i];
    SCOPED_TRACE("control #" + std::to_string(i) + " id " + std::to_string(want.id));
    EXPECT_EQ(got.id, want.id);
    EXPECT_EQ(Upper(got.cls), Upper(want.cls));
    if (IsPicture(want)) {
      EXPECT_EQ(got.textOrdinal, 22010);  // the tag picture
    } else {
      EXPECT_EQ(got.textOrdinal, -1);
      EXPECT_EQ(got.text, want.text);
    }
    EXPECT_EQ(got.style & want.style, want.style) << std::hex << got.style;
    EXPECT_EQ(got.style & want.typeMask, want.style & want.typeMask) << std::hex << got.style;
    if (want.dlu.left < 0) continue;
    RECT r = XywhOf(want, row.form);
    EXPECT_EQ(got.dlu.left, r.left);
    EXPECT_EQ(got.dlu.top, r.top);
    EXPECT_EQ(got.dlu.right, r.right);
    EXPECT_EQ(got.dlu.bottom, r.bottom);
  }
}

class CreatedDialog : public ::testing::TestWithParam<TemplateRow> {
 protected:
  void SetUp() override {
    ASSERT_NE(OrbChatDll(), nullptr) << "OrbChat.dll did not load";
    const TemplateRow& row = GetParam();
    HWND parent = (row.style & WS_CHILD) ? HostWindow() : nullptr;
    m_dlg = CreateDialogParamA(OrbChatDll(), MAKEINTRESOURCEA(row.id), parent, PlainDialogProc, 0);
    ASSERT_NE(m_dlg, nullptr) << "template " << row.id << " could not be created";
  }
  void TearDown() override {
    if (m_dlg) DestroyWindow(m_dlg);
  }
  HWND m_dlg = nullptr;
};

TEST_P(CreatedDialog, ShowsItsCaptionAtItsSize) {
  const TemplateRow& row = GetParam();
  EXPECT_EQ(TextOf(m_dlg), row.caption);
  RECT expected{0, 0, row.cx, row.cy};
  MapDialogRect(m_dlg, &expected);
  RECT client{};
  GetClientRect(m_dlg, &client);
  EXPECT_EQ(client.right, expected.right);
  EXPECT_EQ(client.bottom, expected.bottom);
}

TEST_P(CreatedDialog, ControlsCarryIdClassAndText) {
  const TemplateRow& row = GetParam();
  std::vector<HWND> children = ChildrenOf(m_dlg);
  ASSERT_EQ(children.size(), row.controls.size());
  for (size_t i = 0; i < children.size(); ++i) {
    const ControlRow& want = row.controls[i];
    SCOPED_TRACE("control #" + std::to_string(i) + " id " + std::to_string(want.id));
    EXPECT_EQ(static_cast<short>(GetDlgCtrlID(children[i])), want.id);
    EXPECT_EQ(Upper(ClassOf(children[i])), Upper(want.cls));
    if (IsPicture(want)) {
      EXPECT_NE(SendMessageA(children[i], STM_GETIMAGE, IMAGE_BITMAP, 0), 0) << "picture without its bitmap";
    } else {
      EXPECT_EQ(TextOf(children[i]), want.text);
    }
  }
}

TEST_P(CreatedDialog, ControlsStandWhereTheTemplatePutsThem) {
  const TemplateRow& row = GetParam();
  std::vector<HWND> children = ChildrenOf(m_dlg);
  ASSERT_EQ(children.size(), row.controls.size());
  RECT client{};
  GetClientRect(m_dlg, &client);
  for (size_t i = 0; i < children.size(); ++i) {
    const ControlRow& want = row.controls[i];
    SCOPED_TRACE("control id " + std::to_string(want.id));
    RECT got = ChildRect(m_dlg, children[i]);
    EXPECT_GE(got.left, client.left);
    EXPECT_GE(got.top, client.top);
    EXPECT_LE(got.right, client.right);
    if (!IsCombo(want)) {
      EXPECT_LE(got.bottom, client.bottom);
    }
    if (want.dlu.left < 0) continue;
    // Origin and size are mapped separately, as the dialog manager does.
    RECT expected = XywhOf(want, row.form);
    MapDialogRect(m_dlg, &expected);
    EXPECT_EQ(got.left, expected.left);
    EXPECT_EQ(got.top, expected.top);
    // A picture takes the size of its bitmap; a combo box's window is its
    // field only, while the template's height includes the drop-down list.
    if (IsPicture(want)) continue;
    EXPECT_EQ(got.right - got.left, expected.right);
    if (!IsCombo(want)) {
      EXPECT_EQ(got.bottom - got.top, expected.bottom);
    }
  }
}

TEST_P(CreatedDialog, ControlIdsAreUnique) {
  std::vector<int> seen;
  for (HWND child : ChildrenOf(m_dlg)) {
    int id = static_cast<short>(GetDlgCtrlID(child));
    if (id == -1) continue;
    EXPECT_EQ(std::count(seen.begin(), seen.end(), id), 0) << "duplicate id " << id;
    seen.push_back(id);
  }
}

std::string TemplateName(const ::testing::TestParamInfo<TemplateRow>& info) {
  return std::string(info.param.name) + "_" + std::to_string(info.param.id);
}

INSTANTIATE_TEST_SUITE_P(OrbChat, DialogTemplate, ::testing::ValuesIn(Templates()), TemplateName);
INSTANTIATE_TEST_SUITE_P(OrbChat, CreatedDialog, ::testing::ValuesIn(Templates()), TemplateName);

// ---------------------------------------------------------------------------
// Menus

struct MenuItemRow {
  UINT id;  // 0: separator
  const char* text;
};

struct MenuRow {
  const char* name;
  int id;
  const char* popup;
  std::vector<MenuItemRow> items;
};

const MenuItemRow kSeparator{0, ""};

const std::vector<MenuRow>& Menus() {
  static const std::vector<MenuRow> rows = {
      {"ChatObjects", 22000, "联系人",
       {{32833, "发送即时消息"},
        kSeparator,
        {32789, "添加联系人"},
        {32834, "修改备注信息"},
        {32795, "删除联系人"},
        {32816, "移到其它分类"},
        kSeparator,
        {32814, "添加分类"},
        {32837, "重命名分类"},
        {32824, "删除分类"}}},
      {"DiscussionGroups", 22001, "讨论组",
       {{32797, "发送组消息"},
        kSeparator,
        {32800, "新建讨论组"},
        {32836, "修改讨论组名称"},
        {32826, "删除讨论组"},
        kSeparator,
        {32799, "讨论组成员管理"},
        {32823, "移到其它讨论组分类"},
        kSeparator,
        {32820, "添加讨论组分类"},
        {32838, "重命名讨论组分类"},
        {32829, "删除讨论组分类"},
        kSeparator,
        {32840, "查看消息记录"}}},
      {"Editor", 22009, "编辑",
       {{32809, "编辑内容保存到单个网页文件"},
        kSeparator,
        {32810, "剪切"},
        {32811, "复制"},
        {32812, "粘贴"},
        {32813, "撤销"}}},
      {"Capture", 22011, "截屏", {{32846, "区域截图 Ctrl+Alt+S"}, {32847, "全屏截图 Ctrl+Alt+Q"}}},
      {"SendMode", 22012, "发送模式",
       {{32851, "回车发消息"}, {32852, "CTRL+回车发消息"}, {32853, "点【发送】按钮"}}},
      {"Communities", 22013, "群社区", {{32857, "申请加入群组"}}},
  };
  return rows;
}

void PrintTo(const MenuRow& row, std::ostream* os) { *os << row.name << " " << row.id; }

class MenuResource : public ::testing::TestWithParam<MenuRow> {};

TEST_P(MenuResource, OnePopupWithItemsInOrder) {
  const MenuRow& row = GetParam();
  ASSERT_NE(OrbChatDll(), nullptr);
  HMENU menu = LoadMenuA(OrbChatDll(), MAKEINTRESOURCEA(row.id));
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(GetMenuItemCount(menu), 1);
  char text[128] = {};
  GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, row.popup);
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(popup, nullptr);
  ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(row.items.size()));
  for (size_t i = 0; i < row.items.size(); ++i) {
    SCOPED_TRACE("item #" + std::to_string(i));
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
    text[0] = '\0';
    info.dwTypeData = text;
    info.cch = sizeof text;
    ASSERT_TRUE(GetMenuItemInfoA(popup, static_cast<UINT>(i), TRUE, &info));
    EXPECT_EQ(info.hSubMenu, nullptr);
    if (row.items[i].id == 0) {
      EXPECT_TRUE(info.fType & MFT_SEPARATOR);
      continue;
    }
    EXPECT_FALSE(info.fType & MFT_SEPARATOR);
    EXPECT_EQ(info.wID, row.items[i].id);
    EXPECT_STREQ(text, row.items[i].text);
  }
  DestroyMenu(menu);
}

INSTANTIATE_TEST_SUITE_P(OrbChat, MenuResource, ::testing::ValuesIn(Menus()),
                         [](const ::testing::TestParamInfo<MenuRow>& info) {
                           return std::string(info.param.name) + "_" + std::to_string(info.param.id);
                         });

// ---------------------------------------------------------------------------
// Bitmap and initial data

TEST(Bitmap, TagPictureIs24By24) {
  ASSERT_NE(OrbChatDll(), nullptr);
  HBITMAP bmp = static_cast<HBITMAP>(LoadImageA(OrbChatDll(), MAKEINTRESOURCEA(22010), IMAGE_BITMAP, 0, 0, 0));
  ASSERT_NE(bmp, nullptr);
  BITMAP info{};
  GetObjectA(bmp, sizeof info, &info);
  EXPECT_EQ(info.bmWidth, 24);
  EXPECT_EQ(info.bmHeight, 24);
  DeleteObject(bmp);
}

struct DlgInitEntry {
  int control;
  int message;
  std::string text;
};

// Reads the dialog-init resource (type 240) of a template: control id, add
// message, then the text with its terminating zero; a zero id ends it.
std::vector<DlgInitEntry> ReadDlgInit(HMODULE module, int templateId, bool* wellFormed) {
  std::vector<DlgInitEntry> entries;
  *wellFormed = false;
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(240));
  if (!found) return entries;
  const auto* p = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
  const BYTE* end = p + SizeofResource(module, found);
  while (p + 2 <= end) {
    WORD control = *reinterpret_cast<const WORD*>(p);
    if (control == 0) {
      *wellFormed = true;
      break;
    }
    if (p + 8 > end) break;
    WORD message = *reinterpret_cast<const WORD*>(p + 2);
    DWORD length = *reinterpret_cast<const DWORD*>(p + 4);
    p += 8;
    if (length == 0 || p + length > end || p[length - 1] != 0) break;
    entries.push_back({control, message, std::string(reinterpret_cast<const char*>(p), length - 1)});
    p += length;
  }
  return entries;
}

TEST(DialogInitData, FontSizeListHoldsOneToSeven) {
  ASSERT_NE(OrbChatDll(), nullptr);
  bool wellFormed = false;
  std::vector<DlgInitEntry> entries = ReadDlgInit(OrbChatDll(), 22004, &wellFormed);
  EXPECT_TRUE(wellFormed);
  ASSERT_EQ(entries.size(), 7u);
  for (size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].control, 22038);
    EXPECT_EQ(entries[i].message, 0x0403);  // the combo box add-string code of this format
    EXPECT_EQ(entries[i].text, std::to_string(i + 1));
  }
}

TEST(DialogInitData, OnlyTheConversationWindowHasAny) {
  ASSERT_NE(OrbChatDll(), nullptr);
  for (const TemplateRow& row : Templates()) {
    if (row.id == 22004) continue;
    EXPECT_EQ(FindResourceA(OrbChatDll(), MAKEINTRESOURCEA(row.id), MAKEINTRESOURCEA(240)), nullptr) << row.id;
  }
}

}  // namespace
