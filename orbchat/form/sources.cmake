# The conversation window: its rendering and layout (window-free), the window,
# its right-hand panes and its splitters.
list(APPEND ORBCHAT_SOURCES
  form/ViewHtml.cpp
  form/FormLayout.cpp
  form/MemberEntries.cpp
  form/EditorSettings.cpp
  form/CColorComboBox.cpp
  form/FaceGrid.cpp
  form/CFaceDialog.cpp
  form/COrbChat_Form_Splitter.cpp
  form/COrbChat_Form_SplitMsgEdit.cpp
  form/COrbChat_Form_SplitRight.cpp
  form/COrbChat_Form_Members.cpp
  form/COrbChat_Form_InfoWin.cpp
  form/ClipboardPicture.cpp
  form/COrbChat_Form.cpp)
list(APPEND ORBCHAT_LIBS OrbSkin Orbcomm OrbHtmlEdit OrbScrCap)
