#pragma once
// Records every message box instead of showing it, while alive; answers IDOK.
#include <windows.h>

#include <string>
#include <vector>

#include "ui/MessageSeam.h"

struct RecordedMessage {
  HWND owner;
  std::wstring text;
  std::wstring caption;
  UINT type;
};

class MessageRecorder {
 public:
  MessageRecorder();
  ~MessageRecorder();
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  static const std::vector<RecordedMessage>& Messages();
  // Just the texts, in order: what most tests compare.
  static std::vector<std::wstring> Texts();
  static void Clear();

 private:
  message_seam::ShowFunction previous_;
};
