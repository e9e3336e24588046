# The directory of the local chat database and the trees of the host panel.
list(APPEND ORBCHAT_SOURCES
  directory/CChatDirectory.cpp
  directory/CChatTreeBase.cpp
  directory/CChatObjTreeCtrl.cpp
  directory/CChatGrpTreeCtrl.cpp
  directory/CChatCmtTreeCtrl.cpp)
list(APPEND ORBCHAT_LIBS OrbSkin OrbADO)
