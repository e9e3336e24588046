#pragma once
// Owner of one GDI object (brush, pen, font, bitmap): deleted when the wrapper
// is destroyed or given another object. Attach takes ownership, Detach gives it
// back. Not copyable; movable.
#include <windows.h>

#include "CObject.h"
#include "FrameworkApi.h"

class ORBFW_API CGdiObject : public CObject {
 public:
  CGdiObject() = default;
  ~CGdiObject() override;
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;
  CGdiObject(CGdiObject&& other) noexcept;
  CGdiObject& operator=(CGdiObject&& other) noexcept;

  HGDIOBJ m_hObject = nullptr;

  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  bool IsNull() const { return m_hObject == nullptr; }
  BOOL Attach(HGDIOBJ object);
  HGDIOBJ Detach();
  BOOL DeleteObject();
  int GetObject(int size, void* buffer) const;
};
