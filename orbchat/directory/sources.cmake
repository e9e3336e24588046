# The trees of the host panel and their records.
list(APPEND ORBCHAT_SOURCES
  directory/CChatTreeBase.cpp
  directory/CChatObjTreeCtrl.cpp
  directory/CChatGrpTreeCtrl.cpp
  directory/CChatCmtTreeCtrl.cpp)
list(APPEND ORBCHAT_LIBS OrbSkin OrbADO)
