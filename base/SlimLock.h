#pragma once
// A lock for what two threads share: the system's slim lock, which cannot fail, so taking it
// has no error to report and needs no threads library.
#include <windows.h>

class SlimLock {
 public:
  SlimLock() = default;
  SlimLock(const SlimLock&) = delete;
  SlimLock& operator=(const SlimLock&) = delete;

 private:
  friend class SlimLockHeld;
  SRWLOCK lock_ = SRWLOCK_INIT;
};

// Holds `lock` for its own lifetime.
class SlimLockHeld {
 public:
  explicit SlimLockHeld(SlimLock& lock) : lock_(lock) { ::AcquireSRWLockExclusive(&lock_.lock_); }
  ~SlimLockHeld() { ::ReleaseSRWLockExclusive(&lock_.lock_); }
  SlimLockHeld(const SlimLockHeld&) = delete;
  SlimLockHeld& operator=(const SlimLockHeld&) = delete;

 private:
  SlimLock& lock_;
};
