#pragma once
// Installs a seam's answer for one scope and puts the real call back at its
// end, so a failing test cannot leave its answer behind for the next one.
//   OrbTesting::ScopedSeam clock(Seams::SetTickCount, [] { return DWORD{500}; });
#include <type_traits>
#include <utility>

namespace OrbTesting {

template <class Fn>
class ScopedSeam {
 public:
  using Setter = void (*)(Fn);
  ScopedSeam(Setter set, std::type_identity_t<Fn> fn) : m_set(set) { m_set(std::move(fn)); }
  ~ScopedSeam() { m_set(Fn{}); }
  ScopedSeam(const ScopedSeam&) = delete;
  ScopedSeam& operator=(const ScopedSeam&) = delete;

 private:
  Setter m_set;
};

}  // namespace OrbTesting
