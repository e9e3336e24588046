#pragma once
// Bounded message pumps for tests: they dispatch this thread's messages the
// way a host's loop does (PreTranslateMessage first) and always return, so a
// test waits for timers or posted work without sleeping and without hanging.
#include <windows.h>

#include <functional>

namespace OrbTesting {

// Dispatches messages for ms milliseconds (timers included).
void PumpMessages(DWORD ms);
// Dispatches what is queued now, without waiting.
void PumpPending();
// Dispatches messages until done() is true or ms milliseconds have passed;
// returns done()'s last value. done() is asked after every message and at
// least every 10 ms, so a condition that another thread makes true is seen.
bool PumpUntil(const std::function<bool()>& done, DWORD ms);

}  // namespace OrbTesting
