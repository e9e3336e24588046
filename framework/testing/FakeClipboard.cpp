#include "FakeClipboard.h"

namespace OrbTesting {

FakeClipboard::FakeClipboard() { Seams::SetClipboard(this); }

FakeClipboard::~FakeClipboard() {
  Seams::SetClipboard(nullptr);
  Clear();
}

bool FakeClipboard::Open(HWND owner) {
  if (m_bBusy || m_bOpen) return false;
  m_bOpen = true;
  m_hOwner = owner;
  ++m_nOpens;
  return true;
}

void FakeClipboard::Close() {
  if (!m_bOpen) return;
  m_bOpen = false;
  ++m_nCloses;
}

void FakeClipboard::Clear() {
  if (m_hBitmap) ::DeleteObject(m_hBitmap);
  m_hBitmap = nullptr;
  m_strText.Empty();
  m_bHasText = false;
}

bool FakeClipboard::SetText(const char* text) {
  if (!m_bOpen) return false;
  Clear();
  m_strText = text;
  m_bHasText = true;
  return true;
}

bool FakeClipboard::SetBitmap(HBITMAP bitmap) {
  if (!m_bOpen || !bitmap) return false;
  HANDLE copy = ::CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0);
  if (!copy) return false;
  Clear();
  m_hBitmap = static_cast<HBITMAP>(copy);
  return true;
}

bool FakeClipboard::Empty() {
  if (!m_bOpen) return false;
  Clear();
  return true;
}

}  // namespace OrbTesting
