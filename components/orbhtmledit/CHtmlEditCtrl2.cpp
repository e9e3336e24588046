#include "CHtmlEditCtrl2.h"

#include <cwchar>

// First commit: the interface with stub bodies; the implementation follows.
struct CHtmlEditCtrl2::Impl {
  int editMode = 1;
  BOOL multiSelect = FALSE;
};

CHtmlEditCtrl2::CHtmlEditCtrl2() : m_pImpl(std::make_unique<Impl>()) {}
CHtmlEditCtrl2::~CHtmlEditCtrl2() = default;

// The output is sized from the conversion itself: a Chinese character takes
// two bytes in code page 936, so a buffer of one byte per wide character
// would cut the text short.
void CHtmlEditCtrl2::BSTR2CString(BSTR bstr, CString& out) {
  out.Empty();
  if (!bstr) return;
  const int length = static_cast<int>(std::wcslen(bstr));
  if (length == 0) return;
  const int size = ::WideCharToMultiByte(CP_ACP, 0, bstr, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return;
  char* buffer = out.GetBufferSetLength(size);
  const int written = ::WideCharToMultiByte(CP_ACP, 0, bstr, length, buffer, size, nullptr, nullptr);
  out.ReleaseBuffer(written > 0 ? written : 0);
}

HRESULT CHtmlEditCtrl2::Navigate(const char*) { return E_NOTIMPL; }
HRESULT CHtmlEditCtrl2::SetMultiSelect(BOOL multiSelect) {
  m_pImpl->multiSelect = multiSelect;
  return S_OK;
}
BOOL CHtmlEditCtrl2::GetMultiSelect() const { return m_pImpl->multiSelect; }
HRESULT CHtmlEditCtrl2::SetEditMode(int mode) {
  if (mode != 0 && mode != 1) return E_INVALIDARG;
  m_pImpl->editMode = mode;
  return S_OK;
}
int CHtmlEditCtrl2::GetEditMode() const { return m_pImpl->editMode; }
HRESULT CHtmlEditCtrl2::SetHtml(const char*) { return E_NOTIMPL; }
HRESULT CHtmlEditCtrl2::AddHtml(const char*) { return E_NOTIMPL; }
void CHtmlEditCtrl2::FlushAppends() {}
CString CHtmlEditCtrl2::GetText(int) const { return CString(); }
CString CHtmlEditCtrl2::GetHtml() const { return CString(); }
CString CHtmlEditCtrl2::GetMHT() const { return CString(); }
CString CHtmlEditCtrl2::MhtToHtml(const char*) const { return CString(); }
HRESULT CHtmlEditCtrl2::SaveToMHT(const char*) const { return E_NOTIMPL; }
HRESULT CHtmlEditCtrl2::PasteHTMLAtCurrentSelection(const char*, BOOL) { return E_NOTIMPL; }
HRESULT CHtmlEditCtrl2::FontName(const char*) { return E_NOTIMPL; }
HRESULT CHtmlEditCtrl2::FontSize(int) { return E_NOTIMPL; }
HRESULT CHtmlEditCtrl2::FontForeColor(COLORREF) { return E_NOTIMPL; }
HRESULT CHtmlEditCtrl2::FontBackColor(COLORREF) { return E_NOTIMPL; }
HRESULT CHtmlEditCtrl2::Copy() { return E_NOTIMPL; }
HRESULT CHtmlEditCtrl2::Cut() { return E_NOTIMPL; }
HRESULT CHtmlEditCtrl2::Paste() { return E_NOTIMPL; }
HRESULT CHtmlEditCtrl2::Delete() { return E_NOTIMPL; }
HRESULT CHtmlEditCtrl2::SelectAll() { return E_NOTIMPL; }
HRESULT CHtmlEditCtrl2::Undo() { return E_NOTIMPL; }
HRESULT CHtmlEditCtrl2::Activate() { return E_NOTIMPL; }
int CHtmlEditCtrl2::GetPictureCount() const { return 0; }
int CHtmlEditCtrl2::GetPlaceholderCount() const { return 0; }
CString CHtmlEditCtrl2::GetPictureFolder() { return CString(); }
void CHtmlEditCtrl2::InitControl() {}
LRESULT CHtmlEditCtrl2::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return CWnd::WindowProc(message, wParam, lParam);
}
void CHtmlEditCtrl2::PostNcDestroy() {}
