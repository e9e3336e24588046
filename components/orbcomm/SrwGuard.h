#pragma once
// Holds a slim reader/writer lock for one scope, exclusively or shared.
#include <windows.h>

class ExclusiveGuard {
 public:
  explicit ExclusiveGuard(SRWLOCK& lock) : m_lock(lock) { AcquireSRWLockExclusive(&m_lock); }
  ~ExclusiveGuard() { ReleaseSRWLockExclusive(&m_lock); }
  ExclusiveGuard(const ExclusiveGuard&) = delete;
  ExclusiveGuard& operator=(const ExclusiveGuard&) = delete;

 private:
  SRWLOCK& m_lock;
};

class SharedGuard {
 public:
  explicit SharedGuard(SRWLOCK& lock) : m_lock(lock) { AcquireSRWLockShared(&m_lock); }
  ~SharedGuard() { ReleaseSRWLockShared(&m_lock); }
  SharedGuard(const SharedGuard&) = delete;
  SharedGuard& operator=(const SharedGuard&) = delete;

 private:
  SRWLOCK& m_lock;
};
