#include "CClipboard.h"

#include <cstring>
#include <string>

#include "CodePage.h"

namespace {

class SystemClipboard : public CClipboard {
 public:
  bool Open(HWND owner) override { return ::OpenClipboard(owner) != FALSE; }
  void Close() override { ::CloseClipboard(); }
  bool HasText() const override {
    return ::IsClipboardFormatAvailable(CF_UNICODETEXT) || ::IsClipboardFormatAvailable(CF_TEXT);
  }
  bool HasBitmap() const override {
    return ::IsClipboardFormatAvailable(CF_BITMAP) || ::IsClipboardFormatAvailable(CF_DIB);
  }

  CString GetText() override {
    // The Unicode text is converted here, so that what another program put
    // on the clipboard reads the same whatever locale it was put with.
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
      const auto* wide = static_cast<const wchar_t*>(::GlobalLock(data));
      if (!wide) return CString();
      const size_t limit = ::GlobalSize(data) / sizeof(wchar_t);
      const CString text = CodePage::WideToAnsi(wide, static_cast<int>(wcsnlen(wide, limit)));
      ::GlobalUnlock(data);
      return text;
    }
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
      const auto* ansi = static_cast<const char*>(::GlobalLock(data));
      if (!ansi) return CString();
      const CString text(ansi, static_cast<int>(strnlen(ansi, ::GlobalSize(data))));
      ::GlobalUnlock(data);
      return text;
    }
    return CString();
  }

  HBITMAP GetBitmap() override { return static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP)); }

  bool SetText(const char* text) override {
    const std::wstring wide = CodePage::AnsiToWide(text ? text : "");
    const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return false;
    void* target = ::GlobalLock(memory);
    if (!target) {
      ::GlobalFree(memory);
      return false;
    }
    std::memcpy(target, wide.c_str(), bytes);
    ::GlobalUnlock(memory);
    ::EmptyClipboard();
    if (!::SetClipboardData(CF_UNICODETEXT, memory)) {
      ::GlobalFree(memory);
      return false;
    }
    return true;
  }

  bool SetBitmap(HBITMAP bitmap) override {
    HANDLE copy = bitmap ? ::CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0) : nullptr;
    if (!copy) return false;
    ::EmptyClipboard();
    if (!::SetClipboardData(CF_BITMAP, copy)) {
      ::DeleteObject(copy);
      return false;
    }
    return true;
  }

  bool Empty() override { return ::EmptyClipboard() != FALSE; }
};

SystemClipboard& System() {
  static SystemClipboard clipboard;
  return clipboard;
}

CClipboard* g_replacement = nullptr;

}  // namespace

CClipboard::~CClipboard() = default;

namespace Seams {

CClipboard& GetClipboard() { return g_replacement ? *g_replacement : static_cast<CClipboard&>(System()); }

void SetClipboard(CClipboard* replacement) { g_replacement = replacement; }

}  // namespace Seams
