# Settings files, small file helpers and the local chat database's rules.
list(APPEND ORBCHAT_SOURCES
  support/ChatDbRules.cpp
  support/FileUtils.cpp
  support/IniFile.cpp)
list(APPEND ORBCHAT_LIBS OrbADO)
