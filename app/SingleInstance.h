#pragma once
// One run per application at a time: every run of an application works in the same setup temp
// folder, so a second run would delete the first one's downloads.
#include <windows.h>

#include <string>

#include "base/UniqueHandle.h"

class SingleInstance {
 public:
  // Takes the application's named mutex (letter case of the name ignored, as for its folder).
  // Waits up to two seconds for a run that is ending.
  explicit SingleInstance(const std::wstring& applicationName);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // False when another run of the same application holds the mutex (owned by the thread that
  // made this object). A run whose mutex could
  // not be made at all is let through: it is no worse off than before this guard existed.
  bool IsFirst() const { return first_; }
  // Marks `window` as this application's, so that a later run can find it.
  void MarkWindow(HWND window) const;
  // The window of the run that holds the mutex, restored and brought to the front; null when
  // none is marked (it may not be made yet, or is already gone).
  HWND BringOtherToFront() const;

 private:
  std::wstring key_;
  UniqueKernelHandle mutex_;
  bool owned_ = false;
  bool first_ = true;
};
