// skin_preview: shows the host panel (template 22000) or the conversation
// window (template 22004) of OrbChat.dll with the skin applied as the module
// applies it, with some sample entries, so that the look can be checked on a
// screenshot. Not a test; it quits by itself after a few seconds.
//   skin_preview.exe panel|form|<template id> [seconds]
// A template id shows that dialog skinned as a modal dialog with its children.
// When ORB_READY_FILE is set, that file is created once the window is drawn.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "OrbSkin.h"
#include "resources/resource.h"

namespace {

// Thread timers: the system chooses their ids.
UINT_PTR g_readyTimer = 0;
UINT_PTR g_quitTimer = 0;
HBRUSH g_white = nullptr;

INT_PTR CALLBACK PanelProc(HWND dlg, UINT message, WPARAM wp, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORDLG:
      SetBkColor(reinterpret_cast<HDC>(wp), RGB(255, 248, 255));
      return reinterpret_cast<INT_PTR>(g_white);
    case WM_COMMAND: {
      const int tabs[] = {IDC_TAB_OBJECT, IDC_TAB_GROUP, IDC_TAB_COMMUNITY};
      const int trees[] = {IDC_TREE_OBJECT, IDC_TREE_GROUP, IDC_TREE_COMMUNITY};
      for (int i = 0; i < 3; ++i) {
        if (LOWORD(wp) != tabs[i]) continue;
        for (int j = 0; j < 3; ++j) {
          CheckDlgButton(dlg, tabs[j], i == j ? BST_CHECKED : BST_UNCHECKED);
          ShowWindow(GetDlgItem(dlg, trees[j]), i == j ? SW_SHOW : SW_HIDE);
        }
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK PlainProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

HTREEITEM AddNode(HWND tree, HTREEITEM parent, const char* text, const char* icon) {
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = const_cast<char*>(text);
  auto node = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
  dsSetDrawItemValueEx(tree, node, 0, "treeitemicon", icon, 0);
  return node;
}

void FillTrees(HWND panel) {
  HWND objects = GetDlgItem(panel, IDC_TREE_OBJECT);
  HTREEITEM friends = AddNode(objects, TVI_ROOT, "我的好友", "tree2.objecttag");
  AddNode(objects, friends, "张三", "tree2.role.a");
  HTREEITEM selected = AddNode(objects, friends, "李四", "tree2.role.c");
  AddNode(objects, friends, "王五", "tree2.role.a");
  HTREEITEM colleagues = AddNode(objects, TVI_ROOT, "同事", "tree2.objecttag");
  AddNode(objects, colleagues, "赵六", "tree2.role.d");
  AddNode(objects, colleagues, "孙七", "tree2.role.e");
  AddNode(objects, TVI_ROOT, "陌生人", "tree2.objecttag");
  SendMessageA(objects, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(friends));
  SendMessageA(objects, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(colleagues));
  SendMessageA(objects, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(selected));

  HWND groups = GetDlgItem(panel, IDC_TREE_GROUP);
  HTREEITEM work = AddNode(groups, TVI_ROOT, "工作", "tree2.grouptag");
  AddNode(groups, work, "项目讨论组", "tree2.role.b");
  SendMessageA(groups, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(work));

  HWND communities = GetDlgItem(panel, IDC_TREE_COMMUNITY);
  HTREEITEM city = AddNode(communities, TVI_ROOT, "同城", "tree2.communitytag");
  AddNode(communities, city, "摄影爱好者", "tree2.role.h");
  SendMessageA(communities, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(city));
}

// The panel inside a frame of its own, laid out as the module lays it out:
// tabs side by side at the top, the trees below across the whole width.
HWND ShowPanel(HMODULE dll) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "SkinPreviewFrame";
  RegisterClassA(&wc);
  HWND frame = CreateWindowA(wc.lpszClassName, "OrbChat", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40, 280, 520,
                             nullptr, nullptr, wc.hInstance, nullptr);
  HWND panel = CreateDialogParamA(dll, MAKEINTRESOURCEA(IDD_CHAT_PANEL), frame, PanelProc, 0);
  if (!panel) return nullptr;
  dsSkinWindow(panel, 102, nullptr, 1);
  dsSkinWindow(GetDlgItem(panel, IDC_TAB_OBJECT), 105, "TabObject", 0);
  dsSkinWindow(GetDlgItem(panel, IDC_TAB_GROUP), 105, "TabGroup", 0);
  dsSkinWindow(GetDlgItem(panel, IDC_TAB_COMMUNITY), 105, "TabCommunity", 0);
  for (int tree : {IDC_TREE_OBJECT, IDC_TREE_GROUP, IDC_TREE_COMMUNITY}) {
    dsSkinWindow(GetDlgItem(panel, tree), 121, "TreeCtrlChat", 0);
  }
  RECT client{};
  GetClientRect(frame, &client);
  MoveWindow(panel, 0, 0, client.right, client.bottom, TRUE);
  int x = 2, h = 0;
  for (int tab : {IDC_TAB_OBJECT, IDC_TAB_GROUP, IDC_TAB_COMMUNITY}) {
    HWND button = GetDlgItem(panel, tab);
    RECT r{};
    GetWindowRect(button, &r);
    MoveWindow(button, x, 0, r.right - r.left, r.bottom - r.top, TRUE);
    x += r.right - r.left + 1;
    h = r.bottom - r.top;
  }
  for (int tree : {IDC_TREE_OBJECT, IDC_TREE_GROUP, IDC_TREE_COMMUNITY}) {
    MoveWindow(GetDlgItem(panel, tree), 0, h + 1, client.right, client.bottom - h - 1, TRUE);
  }
  CheckDlgButton(panel, IDC_TAB_OBJECT, BST_CHECKED);
  FillTrees(panel);
  ShowWindow(frame, SW_SHOW);
  return frame;
}

void Place(HWND form, int id, int left, int top, int width, int height) {
  MoveWindow(GetDlgItem(form, id), left, top, width, height, TRUE);
}

void FillMembers(HWND list) {
  const struct {
    const char* name;
    const char* icon;
  } members[] = {{"张三", "tree2.role.a"}, {"李四", "tree2.role.c"}, {"a1****01", "tree2.role.a"},
                 {"项目讨论组", "tree2.role.b"}, {"摄影爱好者", "tree2.role.h"}};
  SendMessageA(list, LB_SETITEMHEIGHT, 0, 24);
  dsSkinWindow(list, 0x6C, "listMembers", 0);
  for (const auto& member : members) {
    LRESULT entry = SendMessageA(list, LB_ADDSTRING, 0, 0);
    dsSetDrawItemValueEx(list, static_cast<UINT_PTR>(entry), 0, "itemName", member.name, 0);
    dsSetDrawItemValueEx(list, static_cast<UINT_PTR>(entry), 0, "ico", member.icon, 0);
  }
  SendMessageA(list, LB_SETCURSEL, 0, 0);
}

// The conversation window skinned as the module skins it, with a layout that
// follows the module's (client area inside the skin, banner on top, members
// pane on the right, toolbar above the editor, buttons at the bottom).
HWND ShowForm(HMODULE dll) {
  HWND form = CreateDialogParamA(dll, MAKEINTRESOURCEA(IDD_CHAT_FORM), nullptr, PlainProc, 0);
  if (!form) return nullptr;
  for (int id : {IDC_FORM_BANNER, IDC_FORM_VIEW, IDC_FORM_EDITOR, IDC_FORM_AD, IDC_FORM_INFO_HOST}) {
    SetDlgItemTextA(form, id, "");
  }
  dsSkinWindow(form, 0x65, nullptr, 1);
  dsSkinWindow(GetDlgItem(form, IDC_FORM_BANNER), 0x6A, "staticdeepblue", 0);
  for (int id : {IDC_FORM_VIEW, IDC_FORM_EDITOR, IDC_FORM_AD, IDC_FORM_INFO_HOST}) {
    dsSkinWindow(GetDlgItem(form, id), 0x6A, "static", 0);
  }
  dsSkinWindow(GetDlgItem(form, IDC_SPLIT_MSGEDIT), 0x6A, "SplitHorizontal", 0);
  dsSkinWindow(GetDlgItem(form, IDC_SPLIT_RIGHT), 0x6A, "SplitVertical", 0);
  dsSkinWindow(GetDlgItem(form, IDC_FONT_NAME), 0x6E, "combobox.100", 0);
  for (int id : {IDC_FONT_SIZE, IDC_FORE_COLOR, IDC_BACK_COLOR}) dsSkinWindow(GetDlgItem(form, id), 0x6E, "combobox.40", 0);
  dsSkinWindow(GetDlgItem(form, IDC_FORM_FACE), 0x67, "btnface", 0);
  dsSkinWindow(GetDlgItem(form, IDC_FORM_PICTURE), 0x67, "btnimage", 0);
  dsSkinWindow(GetDlgItem(form, IDC_SCREEN_CAPTURE), 0x67, "btnscrcap", 0);
  dsSkinWindow(GetDlgItem(form, IDOK), 0x67, nullptr, 0);
  dsSkinWindow(GetDlgItem(form, IDC_SEND), 0x67, nullptr, 0);
  dsSkinWindow(GetDlgItem(form, IDC_SEND_MODE), 0x67, "dropdownbutton", 0);
  SetWindowTextA(form, "张三");
  SetDlgItemTextA(form, IDC_FORM_BANNER, "项目讨论组：本周五下午三点开会");

  HWND infoHost = GetDlgItem(form, IDC_FORM_INFO_HOST);
  HWND info = CreateDialogParamA(dll, MAKEINTRESOURCEA(IDD_FORM_INFO), infoHost, PlainProc, 0);
  dsSkinWindow(info, 0x66, nullptr, 0);
  HWND membersHost = GetDlgItem(info, IDC_INFO_MEMBERS_HOST);
  HWND members = CreateDialogParamA(dll, MAKEINTRESOURCEA(IDD_FORM_MEMBERS), membersHost, PlainProc, 0);
  dsSkinWindow(members, 0x66, nullptr, 0);
  FillMembers(GetDlgItem(members, IDC_MEMBER_LIST));

  for (const char* face : {"宋体", "MS Sans Serif", "Tahoma"}) {
    SendDlgItemMessageA(form, IDC_FONT_NAME, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(face));
  }
  SendDlgItemMessageA(form, IDC_FONT_NAME, CB_SETCURSEL, 0, 0);
  for (const char* size : {"1", "2", "3", "4", "5", "6", "7"}) {
    SendDlgItemMessageA(form, IDC_FONT_SIZE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(size));
  }
  SendDlgItemMessageA(form, IDC_FONT_SIZE, CB_SETCURSEL, 4, 0);

  MoveWindow(form, 60, 40, 654, 420, TRUE);
  RECT c{};
  dsGetClientRect(form, &c);
  c.top += 8;
  const int banner = 20, paneWidth = 140, editHeight = 80;
  Place(form, IDC_FORM_AD, c.right - 120, c.top, 120, banner);
  Place(form, IDC_FORM_BANNER, c.left, c.top, c.right - c.left - 120, banner);
  const int paneLeft = c.right - 1 - paneWidth;
  Place(form, IDC_FORM_INFO_HOST, paneLeft, c.top + banner + 1, paneWidth, c.bottom - 33 - (c.top + banner + 1));
  MoveWindow(info, 0, 0, paneWidth, c.bottom - 33 - (c.top + banner + 1), TRUE);
  MoveWindow(membersHost, 0, 4, paneWidth, c.bottom - 33 - (c.top + banner + 1) - 4, TRUE);
  MoveWindow(members, 0, 0, paneWidth, c.bottom - 33 - (c.top + banner + 1) - 4, TRUE);
  MoveWindow(GetDlgItem(members, IDC_MEMBER_LIST), 0, 0, paneWidth, c.bottom - 33 - (c.top + banner + 1) - 4, TRUE);
  const int editBottom = c.bottom - 32;
  const int editTop = editBottom - editHeight;
  Place(form, IDC_FORM_EDITOR, c.left, editTop, paneLeft - 4 - c.left, editHeight);
  const int row = editTop - 24;
  int x = c.left + 1;
  const struct {
    int id, width, height;
  } tools[] = {{IDC_FONT_NAME, 100, 20}, {IDC_FONT_SIZE, 40, 20}, {IDC_FORE_COLOR, 40, 18}, {IDC_BACK_COLOR, 40, 18},
               {IDC_FORM_FACE, 20, 20},  {IDC_FORM_PICTURE, 20, 20}, {IDC_SCREEN_CAPTURE, 20, 20}};
  for (const auto& tool : tools) {
    Place(form, tool.id, x, row, tool.width, tool.height);
    x += tool.width + 1;
  }
  Place(form, IDC_SPLIT_RIGHT, paneLeft - 5, c.top + banner + 1, 4, c.bottom - 32 - (c.top + banner + 1));
  Place(form, IDC_SPLIT_MSGEDIT, c.left + 1, editTop - 30, paneLeft - 4 - c.left - 1, 4);
  Place(form, IDC_FORM_VIEW, c.left + 1, c.top + banner + 1, paneLeft - 4 - c.left - 1, editTop - 31 - (c.top + banner + 1));
  Place(form, IDOK, c.right - 180, c.bottom - 24, 80, 22);
  Place(form, IDC_SEND, c.right - 99, c.bottom - 24, 80, 22);
  Place(form, IDC_SEND_MODE, c.right - 21, c.bottom - 24, 16, 22);
  ShowWindow(form, SW_SHOW);
  ShowWindow(info, SW_SHOW);
  ShowWindow(members, SW_SHOW);
  return form;
}

// A contact list as the contact browser fills it: icon, number, id, name.
void FillContacts(HWND list) {
  const char* headers[] = {"", "序号", "联系人id", "联系人名称"};
  const int widths[] = {24, 40, 150, 150};
  for (int i = 0; i < 4; ++i) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = widths[i];
    column.pszText = const_cast<char*>(headers[i]);
    SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
  }
  dsSkinWindow(list, 109, "listcontact", 0);
  const struct {
    const char* id;
    const char* name;
    const char* role;
  } rows[] = {{"a1001", "张三", "role.a"}, {"a1002", "李四", "role.c"}, {"h2001", "摄影爱好者", "role.h"}};
  for (int row = 0; row < 3; ++row) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<char*>("");
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    dsSetItemStyle(list, static_cast<UINT_PTR>(row), 0, rows[row].role);
    dsSetDrawItemValueEx(list, static_cast<UINT_PTR>(row), 1, "textdefault", std::to_string(row + 1).c_str(), 0);
    dsSetDrawItemValueEx(list, static_cast<UINT_PTR>(row), 2, "textdefault", rows[row].id, 0);
    dsSetDrawItemValueEx(list, static_cast<UINT_PTR>(row), 3, "textdefault", rows[row].name, 0);
  }
  LVITEMA select{};
  select.stateMask = select.state = LVIS_SELECTED;
  SendMessageA(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&select));
}

HWND ShowDialog(HMODULE dll, int id) {
  HWND dlg = CreateDialogParamA(dll, MAKEINTRESOURCEA(id), nullptr, PlainProc, 0);
  if (!dlg) return nullptr;
  HWND list = GetDlgItem(dlg, IDC_CONTACT_LIST);
  if (list) SetPropA(list, DS_NO_SKIN_PROPERTY, reinterpret_cast<HANDLE>(1));
  dsSkinWindow(dlg, 100, nullptr, 1);
  if (list) {
    RemovePropA(list, DS_NO_SKIN_PROPERTY);
    FillContacts(list);
  }
  SetWindowPos(dlg, nullptr, 80, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ShowWindow(dlg, SW_SHOW);
  return dlg;
}

void SignalReady() {
  const char* path = std::getenv("ORB_READY_FILE");
  if (!path || !*path) return;
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  if (id == g_readyTimer) SignalReady();
  if (id == g_quitTimer) PostQuitMessage(0);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "panel";
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 4;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  g_white = CreateSolidBrush(RGB(255, 255, 255));
  HMODULE dll = LoadLibraryA("OrbChat.dll");
  if (!dll) {
    std::fprintf(stderr, "skin_preview: OrbChat.dll could not be loaded (error %lu)\n", GetLastError());
    return 1;
  }
  const int templateId = std::atoi(mode.c_str());
  HWND shown = templateId > 0 ? ShowDialog(dll, templateId) : mode == "form" ? ShowForm(dll) : ShowPanel(dll);
  if (!shown) {
    std::fprintf(stderr, "skin_preview: the template could not be created\n");
    return 1;
  }
  g_readyTimer = SetTimer(nullptr, 0, 800, OnTimer);
  g_quitTimer = SetTimer(nullptr, 0, static_cast<UINT>(seconds > 0 ? seconds : 4) * 1000, OnTimer);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  DeleteObject(g_white);
  return 0;
}
