#pragma once
// The clipboard, behind one replaceable object so that tests can stand in for
// the system's (Seams::SetClipboard). Text is code page 936 (converted from
// and to the clipboard's Unicode text); bitmaps stay owned by the clipboard.
// Read and write only between Open and Close (CClipboardLock does both).
#include <windows.h>

#include "CString.h"
#include "FrameworkApi.h"

class ORBFW_API CClipboard {
 public:
  virtual ~CClipboard();
  // False when another window holds the clipboard open.
  virtual bool Open(HWND owner) = 0;
  virtual void Close() = 0;
  virtual bool HasText() const = 0;
  virtual bool HasBitmap() const = 0;
  // Empty when there is no text.
  virtual CString GetText() = 0;
  // The clipboard's bitmap, owned by the clipboard (valid until Close).
  virtual HBITMAP GetBitmap() = 0;
  // Each replaces the clipboard's content; the bitmap is copied.
  virtual bool SetText(const char* text) = 0;
  virtual bool SetBitmap(HBITMAP bitmap) = 0;
  virtual bool Empty() = 0;
};

namespace Seams {

// The clipboard in use: the system's unless a test installed its own.
ORBFW_API CClipboard& GetClipboard();
// Installs a stand-in (not owned); nullptr puts the system's back.
ORBFW_API void SetClipboard(CClipboard* replacement);

}  // namespace Seams

// Opens the clipboard for one scope.
class ORBFW_API CClipboardLock {
 public:
  explicit CClipboardLock(HWND owner) : m_clipboard(Seams::GetClipboard()), m_bOpen(m_clipboard.Open(owner)) {}
  ~CClipboardLock() {
    if (m_bOpen) m_clipboard.Close();
  }
  CClipboardLock(const CClipboardLock&) = delete;
  CClipboardLock& operator=(const CClipboardLock&) = delete;
  bool IsOpen() const { return m_bOpen; }
  CClipboard* operator->() const { return &m_clipboard; }

 private:
  CClipboard& m_clipboard;
  bool m_bOpen;
};
