# The conversation window: its rendering and layout (window-free), the window,
# its right-hand panes and its splitters.
list(APPEND ORBCHAT_SOURCES
  form/ViewHtml.cpp
  form/FormLayout.cpp
  form/MemberEntries.cpp)
list(APPEND ORBCHAT_LIBS OrbSkin Orbcomm)
