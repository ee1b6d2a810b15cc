#pragma once
// Ends an attempt whose server has stalled: fewer than 1024 bytes in the last 60 s. The reading
// thread checks the rule after every call; a watchdog thread checks it once a second and closes
// the request, which is how a WinINet call blocked on another thread is cancelled.
#include <windows.h>

#include <memory>

#include "download/InternetHandle.h"
#include "base/SlimLock.h"
#include "base/UniqueHandle.h"

// Progress of one attempt, timed on the time seam's clock. A window starts at construction and
// again each time another 1024 bytes have come; one that lasts 60 s means a stall.
class StallRule {
 public:
  StallRule();
  void Arrived(DWORD count);
  bool Stalled() const;

 private:
  mutable SlimLock lock_;
  DWORD windowStart_;
  DWORD bytesInWindow_ = 0;
};

// The request of one attempt, closed exactly once by whichever thread comes first. The reading
// thread asks for the handle before each call and stops when it is gone, so it never starts a
// call on a closed handle; a close that lands while a call runs is the documented cancel. (Only
// a close in the instant between that check and the call's start reaches a call with a closed
// handle, which then fails as invalid: while a transfer runs, no other thread opens WinINet
// handles that could take the value.)
class SharedRequest {
 public:
  explicit SharedRequest(UniqueInternetHandle request) : request_(std::move(request)) {}
  HINTERNET get() const;
  void Close();

 private:
  mutable SlimLock lock_;
  UniqueInternetHandle request_;
};

// The watchdog thread of one attempt, stopped and joined (within a bound) on destruction.
class AttemptWatch {
 public:
  explicit AttemptWatch(UniqueInternetHandle request);
  ~AttemptWatch();
  AttemptWatch(const AttemptWatch&) = delete;
  AttemptWatch& operator=(const AttemptWatch&) = delete;

  // The request for the next call; null once the watchdog (or Close) ended it.
  HINTERNET Request() const;
  // Counts bytes that arrived; false when the attempt must end as stalled.
  bool Arrived(DWORD count);

  // What the thread shares with its starter; the thread keeps it alive as long as it runs.
  struct Shared {
    explicit Shared(UniqueInternetHandle request) : request(std::move(request)) {}
    StallRule rule;
    SharedRequest request;
    UniqueKernelHandle stop;  // manual-reset event
  };

 private:
  std::shared_ptr<Shared> shared_;
  UniqueKernelHandle thread_;
};
