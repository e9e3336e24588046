#pragma once
// A clipboard of the test's own, installed for its lifetime
// (Seams::SetClipboard): holds one text or one bitmap (a copy it owns), can be
// made busy so that Open fails, and counts opens and closes.
#include <windows.h>

#include "CClipboard.h"
#include "CString.h"

namespace OrbTesting {

class FakeClipboard : public CClipboard {
 public:
  FakeClipboard();
  ~FakeClipboard() override;
  FakeClipboard(const FakeClipboard&) = delete;
  FakeClipboard& operator=(const FakeClipboard&) = delete;

  bool Open(HWND owner) override;
  void Close() override;
  bool HasText() const override { return m_bHasText; }
  bool HasBitmap() const override { return m_hBitmap != nullptr; }
  CString GetText() override { return m_bOpen ? m_strText : CString(); }
  HBITMAP GetBitmap() override { return m_bOpen ? m_hBitmap : nullptr; }
  bool SetText(const char* text) override;
  bool SetBitmap(HBITMAP bitmap) override;
  bool Empty() override;

  // Another program holds the clipboard: Open fails.
  void SetBusy(bool busy) { m_bBusy = busy; }
  bool IsOpen() const { return m_bOpen; }
  int Opens() const { return m_nOpens; }
  int Closes() const { return m_nCloses; }
  HWND LastOwner() const { return m_hOwner; }

 private:
  void Clear();
  bool m_bBusy = false;
  bool m_bOpen = false;
  int m_nOpens = 0;
  int m_nCloses = 0;
  HWND m_hOwner = nullptr;
  bool m_bHasText = false;
  CString m_strText;
  HBITMAP m_hBitmap = nullptr;
};

}  // namespace OrbTesting
