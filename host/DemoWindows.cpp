#include "DemoWindows.h"

#include <richedit.h>
#include <richole.h>

#include <string>

#include "CodePage.h"

namespace DemoWindows {

namespace {

struct FindByCaption {
  CString caption;
  HWND found = nullptr;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM param) {
  auto* find = reinterpret_cast<FindByCaption*>(param);
  char cls[32] = {}, text[256] = {};
  ::GetClassNameA(window, cls, sizeof cls);
  ::GetWindowTextA(window, text, sizeof text);
  if (CString(cls) == "#32770" && find->caption == text) {
    find->found = window;
    return FALSE;
  }
  return TRUE;
}

HTREEITEM NextNode(HWND tree, HTREEITEM item, UINT how) {
  return reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}

}  // namespace

HWND FindDialog(const char* caption) {
  FindByCaption find{caption};
  ::EnumThreadWindows(::GetCurrentThreadId(), &MatchCaption, reinterpret_cast<LPARAM>(&find));
  return find.found;
}

HWND HostedControl(HWND form, int hostId) {
  HWND host = form ? ::GetDlgItem(form, hostId) : nullptr;
  return host ? ::GetWindow(host, GW_CHILD) : nullptr;
}

CString ViewText(HWND form) {
  HWND view = HostedControl(form, kViewHost);
  if (!view) return CString();
  const int length = ::GetWindowTextLengthW(view);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  ::GetWindowTextW(view, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  return CodePage::WideToAnsi(text.c_str());
}

int PictureCount(HWND control) {
  IRichEditOle* ole = nullptr;
  if (!control || !::SendMessageA(control, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole)) || !ole) return 0;
  const int count = static_cast<int>(ole->GetObjectCount());
  ole->Release();
  return count;
}

HTREEITEM FindContactNode(HWND tree, const char* name) {
  for (HTREEITEM top = NextNode(tree, nullptr, TVGN_ROOT); top; top = NextNode(tree, top, TVGN_NEXT))
    for (HTREEITEM child = NextNode(tree, top, TVGN_CHILD); child; child = NextNode(tree, child, TVGN_NEXT)) {
      char text[64] = {};
      TVITEMA item{};
      item.mask = TVIF_TEXT;
      item.hItem = child;
      item.pszText = text;
      item.cchTextMax = sizeof text;
      ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
      if (CString(text) == name) return child;
    }
  return nullptr;
}

}  // namespace DemoWindows
