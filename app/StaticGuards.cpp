// The guards of function-local statics that more than one thread may be the first to reach (the
// system functions of base/SystemLibrary.h, reached from the download threads). The library's
// own guards wait on POSIX threads and report a recursive start with an exception, which bring
// the threads library and the unwinder into the file; these hold one lock of the system while a
// static is made. The lock is recursive, so a static whose making reaches another one is made.
#include <windows.h>

#include <cstdlib>
#include <cxxabi.h>

#include "base/FailureLog.h"

namespace {

SRWLOCK guardLock = SRWLOCK_INIT;
DWORD guardOwner = 0;  // the thread that holds guardLock, or 0; written only under the lock
unsigned guardDepth = 0;

// The first byte of a guard: set once its static is made (the compiler's inline check reads it).
// The second: its making has begun.
unsigned char* Done(__cxxabiv1::__guard* guard) { return reinterpret_cast<unsigned char*>(guard); }
unsigned char* Begun(__cxxabiv1::__guard* guard) { return reinterpret_cast<unsigned char*>(guard) + 1; }

void Leave() {
  if (--guardDepth == 0) {
    guardOwner = 0;
    ::ReleaseSRWLockExclusive(&guardLock);
  }
}

}  // namespace

namespace __cxxabiv1 {

extern "C" int __cxa_guard_acquire(__guard* guard) {
  if (__atomic_load_n(Done(guard), __ATOMIC_ACQUIRE) != 0) return 0;
  const DWORD self = ::GetCurrentThreadId();
  if (__atomic_load_n(&guardOwner, __ATOMIC_RELAXED) != self) {
    ::AcquireSRWLockExclusive(&guardLock);
    guardOwner = self;
  }
  ++guardDepth;
  if (*Done(guard) != 0) {
    Leave();
    return 0;
  }
  if (*Begun(guard) != 0) {
    // Only this thread can have begun it: a static whose making needs itself.
    LogFailure(L"a static object's initialisation reached itself" + ErrorSuffix(ERROR_INVALID_FUNCTION));
    std::abort();
  }
  *Begun(guard) = 1;
  return 1;
}

extern "C" void __cxa_guard_release(__guard* guard) noexcept {
  __atomic_store_n(Done(guard), 1, __ATOMIC_RELEASE);
  Leave();
}

extern "C" void __cxa_guard_abort(__guard* guard) noexcept {
  *Begun(guard) = 0;
  Leave();
}

}  // namespace __cxxabiv1
