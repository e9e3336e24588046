#pragma once
// What the scripted runs of the demo host share: a list of phases run one per
// timer tick, the log of what was done and checked, the failures, and the
// report written at the end.
#include <functional>
#include <vector>

#include "CString.h"

class CDemoRun {
 public:
  virtual ~CDemoRun() = default;

  virtual bool IsDone() const = 0;
  bool Passed() const { return IsDone() && m_arrFailures.empty(); }
  const std::vector<CString>& Failures() const { return m_arrFailures; }
  // One line per check and picture, then the verdict.
  CString Report() const;

 protected:
  // act runs once; done is asked every tick until it holds (then check runs)
  // or maxTicks have passed (a failure).
  struct Phase {
    CString what;
    std::function<void()> act;
    std::function<bool()> done;
    std::function<void()> check;
    int maxTicks;
  };
  enum class PhaseTick { Waiting, Finished, TimedOut };
  bool PhasesDone() const { return m_nPhase >= m_arrPhases.size(); }
  // One tick of the current phase; a finished or timed-out phase makes room
  // for the next.
  PhaseTick RunPhase();
  void Fail(const CString& what);

  std::vector<Phase> m_arrPhases;
  size_t m_nPhase = 0;
  int m_nPhaseTicks = -1;
  std::vector<CString> m_arrFailures;
  std::vector<CString> m_arrLog;
};
