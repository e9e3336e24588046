#pragma once
// Owns one BSTR.
#include <oleauto.h>

#include <string>

class BStr {
 public:
  BStr() = default;
  explicit BStr(const std::wstring& text) : m_b(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~BStr() { SysFreeString(m_b); }
  BStr(const BStr&) = delete;
  BStr& operator=(const BStr&) = delete;

  BSTR Get() const { return m_b; }
  BSTR* Out() {
    SysFreeString(m_b);
    m_b = nullptr;
    return &m_b;
  }
  std::wstring Str() const { return m_b ? std::wstring(m_b, SysStringLen(m_b)) : std::wstring(); }

 private:
  BSTR m_b = nullptr;
};
