#pragma once
// Resource ids of the framework tests' templates and menus.
#define IDD_FW_CONTROLS 100
#define IDD_FW_INPUT 101
#define IDD_FW_CHILD 102
#define IDD_FW_DLGINIT 103
#define IDC_FW_INIT_COMBO 1101
#define IDC_FW_INIT_LIST 1102
#define IDD_FW_MISSING 199
#define IDD_FW_DLL_ONLY 300

#define IDR_FW_MENU 200
#define IDR_FW_DLL_MENU 301
#define IDS_FW_TEXT 210

#define IDC_FW_BUTTON 1001
#define IDC_FW_EDIT 1002
#define IDC_FW_COLOR 1003
#define IDC_FW_TREE 1004
#define IDC_FW_LIST 1005
#define IDC_FW_REPORT 1006
#define IDC_FW_STATIC 1007
#define IDC_FW_COMBO 1008
#define IDC_FW_RADIO1 1009
#define IDC_FW_RADIO2 1010
#define IDC_FW_INPUT 1011
#define IDC_FW_ABSENT 1099

#define ID_FW_SEND 32833
#define ID_FW_ADD 32789
#define ID_FW_RENAME 32837
