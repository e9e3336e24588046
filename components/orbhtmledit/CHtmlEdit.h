#pragma once
// The HTML editor control as a child window: the conversation window creates
// one inside its static for the view and one for the editor, each with the
// static's client rectangle, the static as parent and the static's id.
#include <windows.h>

#include "CHtmlEditCtrl2.h"
#include "OrbHtmlEditApi.h"

class ORBHTMLEDIT_API CHtmlEdit : public CHtmlEditCtrl2 {
 public:
  CHtmlEdit();
  ~CHtmlEdit() override;

  // Creates the RichEdit 4.1 window (child, visible, 2-pixel client edge,
  // vertical scroll bar) at
  // rect in parent's client area with control id id, sets its default format
  // (never Wine's bold System font) and starts with an empty, editable
  // document. FALSE when the window exists already or cannot be created.
  BOOL Create(const RECT& rect, CWnd* parent, UINT id, DWORD style = WS_CHILD | WS_VISIBLE);
  // The MFC shape of the same call; windowName is ignored.
  BOOL Create(const char* windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id);
};
