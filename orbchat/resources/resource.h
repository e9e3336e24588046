#pragma once
// Resource ids of OrbChat.dll: dialog templates, menus, the bitmap, control
// ids and menu commands. Shared by OrbChat.rc and the module's code.

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Dialog templates
#define IDD_CHAT_PANEL 22000          // host panel with the three tabs and trees
#define IDD_CHAT_MANAGER 22003        // hidden window of the chat manager
#define IDD_CHAT_FORM 22004           // conversation window
#define IDD_FACE_PICKER 22005         // emoticon picker
#define IDD_FORM_INFO 22006           // right-hand info pane of a conversation window
#define IDD_FORM_MEMBERS 22012        // members pane inside the info pane
#define IDD_CONTACT_BROWSER 22013     // contact browser
#define IDD_SELECT_CONTACT_TAG 22014  // choose a tag for a chat object
#define IDD_EDIT_TAG 22015            // add a tag
#define IDD_RENAME 22017              // rename / edit remark
#define IDD_SELECT_GROUP_TAG 22018    // choose a category for a discussion group
#define IDD_GROUP_MANAGE 22019        // create a discussion group or manage its members
#define IDD_SET_MY_ALIAS 22020        // alias for applying to join a community

// Menus (each holds one popup)
#define IDR_MENU_OBJECT 22000     // "联系人": chat object tree
#define IDR_MENU_GROUP 22001      // "讨论组": discussion group tree
#define IDR_MENU_EDIT 22009       // "编辑": editor context menu
#define IDR_MENU_CAPTURE 22011    // "截屏": screen capture
#define IDR_MENU_SENDMODE 22012   // "发送模式": send key mode
#define IDR_MENU_COMMUNITY 22013  // "群社区": community tree

// Bitmaps
#define IDB_TAG_PICTURE 22010  // decoration of the small tag and alias dialogs

// Host panel (IDD_CHAT_PANEL)
#define IDC_TAB_OBJECT 22000
#define IDC_TAB_GROUP 22001
#define IDC_TAB_COMMUNITY 22081
#define IDC_TREE_OBJECT 22007
#define IDC_TREE_GROUP 22008
#define IDC_TREE_COMMUNITY 22082

// Conversation window (IDD_CHAT_FORM)
#define IDC_FORM_BANNER 22011
#define IDC_FORM_AD 22016
#define IDC_SPLIT_RIGHT 22025
#define IDC_SPLIT_MSGEDIT 22026
#define IDC_FORM_VIEW 22029
#define IDC_FORM_EDITOR 22030
#define IDC_FORM_PICTURE 22032
#define IDC_FORM_FACE 22033
#define IDC_FONT_NAME 22037
#define IDC_FONT_SIZE 22038
#define IDC_FORE_COLOR 22040
#define IDC_BACK_COLOR 22041
#define IDC_SEND 22042
#define IDC_FORM_INFO_HOST 22046
#define IDC_SCREEN_CAPTURE 22083
#define IDC_SEND_MODE 22085

// Info pane (IDD_FORM_INFO) and members pane (IDD_FORM_MEMBERS)
#define IDC_INFO_TITLE 22043
#define IDC_INFO_MEMBERS_HOST 22048
#define IDC_MEMBER_LIST 22010

// Contact browser (IDD_CONTACT_BROWSER); the list id is shared with IDD_GROUP_MANAGE
#define IDC_CONTACT_LIST 22053
#define IDC_SEARCH_NAME 22059
#define IDC_PAGE_FIRST 22071
#define IDC_PAGE_PREV 22072
#define IDC_PAGE_NEXT 22073
#define IDC_PAGE_LAST 22074
#define IDC_SEARCH_ID 22075
#define IDC_SEARCH 22077
#define IDC_SEARCH_ID_LABEL 22078
#define IDC_SEARCH_NAME_LABEL 22079
#define IDC_PAGE_STATUS 22080

// Tag selection (IDD_SELECT_CONTACT_TAG, IDD_SELECT_GROUP_TAG), add tag (IDD_EDIT_TAG)
#define IDC_CONTACT_TAG_COMBO 22055
#define IDC_TAG_PICTURE 22057
#define IDC_TAG_NAME 22058
#define IDC_GROUP_TAG_COMBO 22060

// Rename (IDD_RENAME)
#define IDC_RENAME_TEXT 22059
#define IDC_RENAME_LABEL 22061

// Group management (IDD_GROUP_MANAGE)
#define IDC_GROUP_CATEGORY 22062
#define IDC_GROUP_NAME 22063
#define IDC_GROUP_TITLE 22064
#define IDC_GROUP_MEMBER_LIST 22065
#define IDC_MEMBER_ADD 22066
#define IDC_MEMBER_REMOVE 22067
#define IDC_CONTACT_POSITION 22069
#define IDC_MEMBER_POSITION 22070

// Alias (IDD_SET_MY_ALIAS)
#define IDC_ALIAS_EDIT 22086

// Commands of IDR_MENU_OBJECT
#define ID_OBJECT_SEND_MESSAGE 32833
#define ID_OBJECT_ADD_CONTACT 32789
#define ID_OBJECT_EDIT_REMARK 32834
#define ID_OBJECT_DELETE_CONTACT 32795
#define ID_OBJECT_MOVE 32816
#define ID_OBJECT_ADD_TAG 32814
#define ID_OBJECT_RENAME_TAG 32837
#define ID_OBJECT_DELETE_TAG 32824

// Commands of IDR_MENU_GROUP
#define ID_GROUP_SEND_MESSAGE 32797
#define ID_GROUP_NEW 32800
#define ID_GROUP_RENAME 32836
#define ID_GROUP_DELETE 32826
#define ID_GROUP_MANAGE_MEMBERS 32799
#define ID_GROUP_MOVE 32823
#define ID_GROUP_ADD_CATEGORY 32820
#define ID_GROUP_RENAME_CATEGORY 32838
#define ID_GROUP_DELETE_CATEGORY 32829
#define ID_GROUP_VIEW_HISTORY 32840

// Commands of IDR_MENU_EDIT
#define ID_EDITOR_SAVE_MHT 32809
#define ID_EDITOR_CUT 32810
#define ID_EDITOR_COPY 32811
#define ID_EDITOR_PASTE 32812
#define ID_EDITOR_UNDO 32813

// Commands of IDR_MENU_CAPTURE
#define ID_CAPTURE_REGION 32846
#define ID_CAPTURE_FULL_SCREEN 32847

// Commands of IDR_MENU_SENDMODE
#define ID_SENDMODE_ENTER 32851
#define ID_SENDMODE_CTRL_ENTER 32852
#define ID_SENDMODE_BUTTON 32853

// Commands of IDR_MENU_COMMUNITY
#define ID_COMMUNITY_JOIN 32857
