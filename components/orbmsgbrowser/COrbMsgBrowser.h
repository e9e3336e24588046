#pragma once
// The message history viewer of OrbMsgBrowser.dll.
//
//   COrbMsgBrowser browser;
//   browser.Browser(ReplaceExtension(session.GetUserCustomFileName(), ".msg"), "");
//
// Browser shows the message store at path as a modal window over the active
// window of the calling thread and returns when the user closes it. A file
// that cannot be shown (another kind of file, a damaged one, one written by a
// newer version, one another program holds) is explained in a message box
// instead; a missing or empty file shows an empty history. A non-empty text
// starts the viewer with a search for it.
#include "CString.h"
#include "OrbMsgBrowserApi.h"

class ORBMSGBROWSER_API COrbMsgBrowser {
 public:
  COrbMsgBrowser() = default;
  virtual ~COrbMsgBrowser() = default;

  // IDCANCEL when the viewer was shown and closed, IDABORT when the file
  // could not be shown, -1 when the window could not be created.
  virtual int Browser(const CString& path, const CString& text);
};
