# The exported class, the host panel and the chat manager.
list(APPEND ORBCHAT_SOURCES
  chat/COrbChat.cpp
  chat/COrbChat_Dlg.cpp
  chat/COrbChat_Mgr.cpp
  chat/CReceivedDispatch.cpp)
list(APPEND ORBCHAT_LIBS OrbSkin Orbcomm OrbADO OrbXML OrbHtmlEdit)
