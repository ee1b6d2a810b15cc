#pragma once
// Reads what this process writes with OutputDebugStringW while alive, the way a debug-output
// viewer does: through the "DBWIN_BUFFER" shared memory and its "DBWIN_BUFFER_READY" and
// "DBWIN_DATA_READY" events. Lines of other processes pass through it unrecorded. The protocol
// allows one reader on the machine: a second listener waits (up to a minute) for the first to go.
#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/UniqueHandle.h"

class DebugOutputListener {
 public:
  DebugOutputListener();
  ~DebugOutputListener();
  DebugOutputListener(const DebugOutputListener&) = delete;
  DebugOutputListener& operator=(const DebugOutputListener&) = delete;

  // Every line written since the listener started (or since Clear), without its line end, once
  // everything written before this call has arrived. Fails the calling test when the listener
  // could not start or the lines do not arrive within five seconds.
  std::vector<std::wstring> Lines();
  // Only the lines of the program's failure log, without their "Setup: ".
  std::vector<std::wstring> FailureLines();
  void Clear();

 private:
  void Run();
  void Receive(const std::wstring& text);

  UniqueKernelHandle readerTurn_;  // held while this listener is the machine's reader
  UniqueKernelHandle bufferReady_;
  UniqueKernelHandle dataReady_;
  UniqueKernelHandle mapping_;
  UniqueKernelHandle stop_;
  UniqueMappedView view_;
  std::thread reader_;

  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<std::wstring> lines_;
  unsigned syncsSent_ = 0;
  unsigned syncsSeen_ = 0;
};
