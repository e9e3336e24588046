#include "CDemoRun.h"

CString CDemoRun::Report() const {
  CString text;
  for (const CString& line : m_arrLog) text += line + "\r\n";
  text += Passed() ? "结果：通过\r\n" : "结果：未通过\r\n";
  return text;
}

CDemoRun::PhaseTick CDemoRun::RunPhase() {
  if (PhasesDone()) return PhaseTick::Finished;
  Phase& phase = m_arrPhases[m_nPhase];
  if (m_nPhaseTicks < 0) {
    m_arrLog.push_back(phase.what);
    if (phase.act) phase.act();
    m_nPhaseTicks = 0;
  }
  PhaseTick result = PhaseTick::Finished;
  if (phase.done()) {
    if (phase.check) phase.check();
  } else if (++m_nPhaseTicks < phase.maxTicks) {
    return PhaseTick::Waiting;
  } else {
    Fail(phase.what + "：超时");
    result = PhaseTick::TimedOut;
  }
  ++m_nPhase;
  m_nPhaseTicks = -1;
  return result;
}

void CDemoRun::Fail(const CString& what) {
  m_arrFailures.push_back(what);
  m_arrLog.push_back("失败：" + what);
}
