# Settings files and small file helpers.
list(APPEND ORBCHAT_SOURCES
  support/FileUtils.cpp
  support/IniFile.cpp)
