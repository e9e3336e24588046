# The directory of the local chat database and the trees of the host panel.
list(APPEND ORBCHAT_SOURCES
  directory/CChatDirectory.cpp
  directory/CChatTreeBase.cpp
  directory/CChatObjTreeCtrl.cpp
  directory/CChatGrpTreeCtrl.cpp
  directory/CChatCmtTreeCtrl.cpp
  directory/COrbChat_EditTag.cpp
  directory/COrbChat_ReNameDlg.cpp
  directory/CSelectTagDialog.cpp
  directory/COrbChat_SelectContactTag.cpp
  directory/COrbChat_SelectGroupTag.cpp
  directory/COrbChat_ContactBrowser.cpp
  directory/COrbChat_GroupManage.cpp
  directory/COrbChat_SetMyAlias.cpp)
list(APPEND ORBCHAT_LIBS OrbSkin OrbADO OrbMsgBrowser comctl32)
