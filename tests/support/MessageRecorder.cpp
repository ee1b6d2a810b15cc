#include "tests/support/MessageRecorder.h"

namespace {
std::vector<RecordedMessage> messages;

int WINAPI Record(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
  messages.push_back({owner, text, caption, type});
  return IDOK;
}
}  // namespace

MessageRecorder::MessageRecorder() : previous_(message_seam::SetForTesting(Record)) { messages.clear(); }
MessageRecorder::~MessageRecorder() { message_seam::SetForTesting(previous_); }

const std::vector<RecordedMessage>& MessageRecorder::Messages() { return messages; }

void MessageRecorder::Clear() { messages.clear(); }

std::vector<std::wstring> MessageRecorder::Texts() {
  std::vector<std::wstring> texts;
  for (const RecordedMessage& m : messages) texts.push_back(m.text);
  return texts;
}
