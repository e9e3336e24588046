#pragma once
// Shared pieces of the chat module's tests: OrbChat.dll's resources for the
// module code linked into the test and a parent frame window; the folder, the
// database and the session object come from the tests' common library.
#include <windows.h>

#include "CFakeSession.h"
#include "CString.h"
#include "CTestChatDb.h"
#include "CTestFolder.h"
#include "CWnd.h"

// A visible top-level window of the framework's own class to host panels
// and trees.
class CTestFrame : public CWnd {
 public:
  explicit CTestFrame(int width = 420, int height = 620);
  ~CTestFrame() override;
};

// Counts the windows of this thread that carry the given caption (the chat
// manager's hidden window, for example).
int CountThreadWindows(const char* caption);
