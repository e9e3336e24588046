#include "CGdiObject.h"

#include <utility>

CGdiObject::~CGdiObject() { DeleteObject(); }

CGdiObject::CGdiObject(CGdiObject&& other) noexcept : m_hObject(std::exchange(other.m_hObject, nullptr)) {}

CGdiObject& CGdiObject::operator=(CGdiObject&& other) noexcept {
  if (this != &other) Attach(other.Detach());
  return *this;
}

BOOL CGdiObject::Attach(HGDIOBJ object) {
  if (object == m_hObject) return object != nullptr;
  DeleteObject();
  m_hObject = object;
  return object != nullptr;
}

HGDIOBJ CGdiObject::Detach() { return std::exchange(m_hObject, nullptr); }

BOOL CGdiObject::DeleteObject() {
  if (!m_hObject) return FALSE;
  return ::DeleteObject(std::exchange(m_hObject, nullptr));
}

int CGdiObject::GetObject(int size, void* buffer) const {
  return m_hObject ? ::GetObjectA(m_hObject, size, buffer) : 0;
}
