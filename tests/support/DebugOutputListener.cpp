#include "tests/support/DebugOutputListener.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <cwchar>

namespace {
const wchar_t kReaderTurn[] = L"SetupTests.DebugOutputReader";
constexpr DWORD kTurnWaitMs = 60000;
constexpr auto kArrivalWait = std::chrono::seconds(5);
constexpr DWORD kBufferSize = 4096;
// What the listener writes itself to learn that everything before it has arrived.
const wchar_t kSyncPrefix[] = L"DebugOutputListener sync ";
const wchar_t kFailurePrefix[] = L"Setup: ";

// The shared memory's layout: the writer's process id, then its text, NUL-terminated.
struct DebugBuffer {
  DWORD processId;
  char text[kBufferSize - sizeof(DWORD)];
};

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// The writer converts to the ANSI code page.
std::wstring Widen(const char* text) {
  const int count = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (count <= 1) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(count), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], count);
  wide.resize(static_cast<std::size_t>(count - 1));
  while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r')) wide.pop_back();
  return wide;
}
}  // namespace

DebugOutputListener::DebugOutputListener() {
  readerTurn_.reset(::CreateMutexW(nullptr, FALSE, kReaderTurn));
  if (!readerTurn_) return;
  const DWORD waited = ::WaitForSingleObject(readerTurn_.get(), kTurnWaitMs);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    readerTurn_.reset();
    return;
  }
  bufferReady_.reset(::CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY"));
  dataReady_.reset(::CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY"));
  mapping_.reset(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBufferSize, L"DBWIN_BUFFER"));
  stop_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!bufferReady_ || !dataReady_ || !mapping_ || !stop_) return;
  view_.reset(::MapViewOfFile(mapping_.get(), FILE_MAP_READ, 0, 0, kBufferSize));
  if (view_) reader_ = std::thread([this] { Run(); });
}

DebugOutputListener::~DebugOutputListener() {
  if (reader_.joinable()) {
    ::SetEvent(stop_.get());
    reader_.join();
  }
  if (readerTurn_) ::ReleaseMutex(readerTurn_.get());
}

void DebugOutputListener::Run() {
  const HANDLE waits[] = {dataReady_.get(), stop_.get()};
  for (;;) {
    ::SetEvent(bufferReady_.get());
    // Bounded by the stop event, which the destructor sets.
    if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) return;
    const auto* buffer = static_cast<const DebugBuffer*>(view_.get());
    if (buffer->processId != ::GetCurrentProcessId()) continue;
    char text[sizeof(buffer->text) + 1] = {};
    std::memcpy(text, buffer->text, sizeof(buffer->text));
    Receive(Widen(text));
  }
}

void DebugOutputListener::Receive(const std::wstring& text) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (StartsWith(text, kSyncPrefix)) {
    ++syncsSeen_;
  } else {
    lines_.push_back(text);
  }
  arrived_.notify_all();
}

std::vector<std::wstring> DebugOutputListener::Lines() {
  if (!reader_.joinable()) {
    ADD_FAILURE() << "the debug-output listener did not start";
    return {};
  }
  // The writers take turns, so the sync line arrives after every line written before it.
  unsigned sync = 0;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    sync = ++syncsSent_;
  }
  ::OutputDebugStringW((kSyncPrefix + std::to_wstring(sync) + L"\n").c_str());
  std::unique_lock<std::mutex> lock(mutex_);
  if (!arrived_.wait_for(lock, kArrivalWait, [&] { return syncsSeen_ >= sync; })) {
    ADD_FAILURE() << "the debug output did not arrive";
  }
  return lines_;
}

std::vector<std::wstring> DebugOutputListener::FailureLines() {
  std::vector<std::wstring> failures;
  for (const std::wstring& line : Lines()) {
    if (StartsWith(line, kFailurePrefix)) failures.push_back(line.substr(std::wcslen(kFailurePrefix)));
  }
  return failures;
}

void DebugOutputListener::Clear() {
  Lines();  // what is still on its way belongs to before the clearing
  const std::lock_guard<std::mutex> lock(mutex_);
  lines_.clear();
}
