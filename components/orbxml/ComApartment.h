#pragma once
// Makes COM usable on the calling thread for one scope: joins the thread's
// apartment (or creates a single-threaded one) and leaves it again only when
// this object entered it.
#include <objbase.h>

class ComApartment {
 public:
  ComApartment() {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    m_bEntered = SUCCEEDED(hr);
    // A thread already in the multi-threaded apartment can use COM as it is.
    m_bUsable = m_bEntered || hr == RPC_E_CHANGED_MODE;
  }
  ~ComApartment() {
    if (m_bEntered) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  bool IsUsable() const { return m_bUsable; }

 private:
  bool m_bEntered = false;
  bool m_bUsable = false;
};
