#include "OrbVariant.h"

#include <cstring>
#include <utility>

#include "CodePage.h"

namespace {

void Reset(VARIANT& value) {
  std::memset(&value, 0, sizeof(value));
  value.vt = VT_EMPTY;
}

}  // namespace

COrbVariant::COrbVariant() { Reset(*this); }

COrbVariant::COrbVariant(const char* text) {
  Reset(*this);
  if (!text) {
    vt = VT_NULL;
    return;
  }
  const std::wstring wide = CodePage::AnsiToWide(text);
  bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  vt = bstrVal ? VT_BSTR : VT_EMPTY;
}

COrbVariant::COrbVariant(const CString& text) : COrbVariant(text.GetString()) {}

COrbVariant::COrbVariant(int value) {
  Reset(*this);
  vt = VT_I4;
  lVal = value;
}

COrbVariant::COrbVariant(const VARIANT& other) {
  Reset(*this);
  // VariantCopyInd also follows VT_BYREF, so the copy owns its value.
  if (FAILED(VariantCopyInd(this, const_cast<VARIANT*>(&other)))) Reset(*this);
}

COrbVariant::COrbVariant(const COrbVariant& other) : COrbVariant(static_cast<const VARIANT&>(other)) {}

COrbVariant::COrbVariant(COrbVariant&& other) noexcept {
  std::memcpy(static_cast<VARIANT*>(this), static_cast<VARIANT*>(&other), sizeof(VARIANT));
  Reset(other);
}

COrbVariant& COrbVariant::operator=(const COrbVariant& other) {
  if (this != &other) {
    COrbVariant copy(other);
    *this = std::move(copy);
  }
  return *this;
}

COrbVariant& COrbVariant::operator=(COrbVariant&& other) noexcept {
  if (this != &other) {
    Clear();
    std::memcpy(static_cast<VARIANT*>(this), static_cast<VARIANT*>(&other), sizeof(VARIANT));
    Reset(other);
  }
  return *this;
}

COrbVariant::~COrbVariant() { Clear(); }

void COrbVariant::Clear() {
  VariantClear(this);
  Reset(*this);
}

COrbVariant COrbVariant::Null() {
  COrbVariant value;
  value.vt = VT_NULL;
  return value;
}

COrbVariant COrbVariant::FromBstr(BSTR text) {
  COrbVariant value;
  if (text) {
    value.vt = VT_BSTR;
    value.bstrVal = text;
  }
  return value;
}

CString COrbVariant::ToString() const {
  if (vt == VT_BSTR) return bstrVal ? CodePage::WideToAnsi(bstrVal, static_cast<int>(SysStringLen(bstrVal))) : CString();
  if (vt == VT_EMPTY || vt == VT_NULL) return CString();
  VARIANT text;
  VariantInit(&text);
  // Invariant locale: numbers are plain decimal text whatever the user's
  // regional settings.
  CString result;
  if (SUCCEEDED(VariantChangeTypeEx(&text, const_cast<COrbVariant*>(this), LOCALE_INVARIANT, 0, VT_BSTR)) &&
      text.bstrVal)
    result = CodePage::WideToAnsi(text.bstrVal, static_cast<int>(SysStringLen(text.bstrVal)));
  VariantClear(&text);
  return result;
}

int COrbVariant::ToInt() const {
  if (vt == VT_I4) return lVal;
  if (vt == VT_INT) return intVal;
  if (vt == VT_EMPTY || vt == VT_NULL) return 0;
  VARIANT number;
  VariantInit(&number);
  int result = 0;
  if (SUCCEEDED(VariantChangeTypeEx(&number, const_cast<COrbVariant*>(this), LOCALE_INVARIANT, 0, VT_I4)))
    result = number.lVal;
  VariantClear(&number);
  return result;
}
