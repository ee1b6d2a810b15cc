#include "download/AttemptWatch.h"

#include "base/Clock.h"

namespace {
constexpr DWORD kStallWindowMs = 60000;
constexpr DWORD kStallBytes = 1024;
constexpr DWORD kWatchPeriodMs = 1000;  // real time: the watchdog's look, not the rule's clock
// Closing a request returns at once; a thread that has not ended by then keeps its own share of
// the state alive, so nothing it touches is freed under it.
constexpr DWORD kJoinLimitMs = 10000;

DWORD WINAPI WatchThread(LPVOID parameter) {
  const std::unique_ptr<std::shared_ptr<AttemptWatch::Shared>> owned(
      static_cast<std::shared_ptr<AttemptWatch::Shared>*>(parameter));
  const std::shared_ptr<AttemptWatch::Shared> shared = *owned;
  while (::WaitForSingleObject(shared->stop.get(), kWatchPeriodMs) == WAIT_TIMEOUT) {
    if (shared->rule.Stalled()) {
      shared->request.Close();
      break;
    }
  }
  return 0;
}
}  // namespace

StallRule::StallRule() : windowStart_(clock_seam::TickCount()) {}

void StallRule::Arrived(DWORD count) {
  const SlimLockHeld held(lock_);
  bytesInWindow_ += count;
  if (bytesInWindow_ >= kStallBytes) {
    bytesInWindow_ = 0;
    windowStart_ = clock_seam::TickCount();
  }
}

bool StallRule::Stalled() const {
  const SlimLockHeld held(lock_);
  return TicksSince(windowStart_) >= kStallWindowMs;
}

HINTERNET SharedRequest::get() const {
  const SlimLockHeld held(lock_);
  return request_.get();
}

void SharedRequest::Close() {
  const SlimLockHeld held(lock_);
  request_.reset();
}

AttemptWatch::AttemptWatch(UniqueInternetHandle request)
    : shared_(std::make_shared<Shared>(std::move(request))) {
  shared_->stop.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!shared_->stop) return;  // no watchdog; the reading thread still applies the rule
  auto parameter = std::make_unique<std::shared_ptr<Shared>>(shared_);
  thread_.reset(::CreateThread(nullptr, 0, WatchThread, parameter.get(), 0, nullptr));
  if (thread_) parameter.release();  // the thread frees it
}

AttemptWatch::~AttemptWatch() {
  if (shared_->stop) ::SetEvent(shared_->stop.get());
  if (thread_) ::WaitForSingleObject(thread_.get(), kJoinLimitMs);
  shared_->request.Close();
}

HINTERNET AttemptWatch::Request() const { return shared_->request.get(); }

bool AttemptWatch::Arrived(DWORD count) {
  shared_->rule.Arrived(count);
  return !shared_->rule.Stalled();
}
