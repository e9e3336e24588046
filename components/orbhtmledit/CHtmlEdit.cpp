#include "CHtmlEdit.h"

#include <richedit.h>

CHtmlEdit::CHtmlEdit() = default;
CHtmlEdit::~CHtmlEdit() = default;

BOOL CHtmlEdit::Create(const RECT& rect, CWnd* parent, UINT id, DWORD style) {
  static const HMODULE library = ::LoadLibraryW(L"msftedit.dll");
  if (!library || m_hWnd) return FALSE;
  style |= WS_CHILD | WS_VSCROLL | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | ES_NOHIDESEL;
  // The 2-pixel client edge is the border the conversation window places
  // outside its area (it moves the control to -2, -2 with 4 pixels more).
  if (!CreateEx(WS_EX_CLIENTEDGE, "RICHEDIT50W", "", style, rect, parent, id)) return FALSE;
  InitControl();
  return TRUE;
}

BOOL CHtmlEdit::Create(const char*, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return Create(rect, parent, id, style);
}
