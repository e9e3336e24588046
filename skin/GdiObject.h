#pragma once
// Owning handle of one GDI object (pen, brush, bitmap, font, region): deleted
// with DeleteObject when the holder goes.
#include <windows.h>

#include <utility>

template <typename Handle>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(Handle handle) : m_h(handle) {}
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  GdiObject(GdiObject&& other) noexcept : m_h(std::exchange(other.m_h, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.m_h, nullptr));
    return *this;
  }
  ~GdiObject() { Reset(); }

  Handle Get() const { return m_h; }
  explicit operator bool() const { return m_h != nullptr; }
  void Reset(Handle handle = nullptr) {
    if (m_h) DeleteObject(m_h);
    m_h = handle;
  }

 private:
  Handle m_h = nullptr;
};
