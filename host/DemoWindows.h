#pragma once
// What the scripted runs look up in the module's windows: dialogs of this
// thread by caption, the HTML controls inside a conversation window, the text
// and pictures they show, and a contact's node in the chat object tree.
#include <windows.h>
#include <commctrl.h>

#include "CString.h"

namespace DemoWindows {

constexpr int kObjectTree = 22007;  // the chat object tree of the panel
constexpr int kViewHost = 22029;    // the static that holds a conversation's view
constexpr int kEditorHost = 22030;  // the static that holds its editor
constexpr int kSendButton = 22042;
constexpr int kSendInstantMessage = 32833;

// A top-level dialog of this thread by its caption, or null.
HWND FindDialog(const char* caption);
// The HTML control inside a conversation window's host static, or null.
HWND HostedControl(HWND form, int hostId);
// The plain text of a conversation window's view.
CString ViewText(HWND form);
// Pictures in an HTML control (the RichEdit's embedded objects).
int PictureCount(HWND control);
// The first node of the second level whose text is name, or null.
HTREEITEM FindContactNode(HWND tree, const char* name);

}  // namespace DemoWindows
