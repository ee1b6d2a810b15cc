// Test tool: watches for message boxes of other processes in the same Wine session, records
// their caption and text, and presses OK, so end-to-end runs see exactly what a user would read.
// Usage: observer.exe LOG-FILE STOP-FILE   (runs until STOP-FILE exists)
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

constexpr int kMessageTextId = 0xFFFF;  // the static control that holds a message box's text
constexpr DWORD kPollMs = 30;

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
  return out;
}

std::wstring WindowText(HWND window) {
  wchar_t buffer[4096] = {};
  ::GetWindowTextW(window, buffer, 4096);
  return buffer;
}

// Line breaks inside a message are written as "\n" so that one line is one message.
std::string Escaped(const std::wstring& text) {
  std::string out;
  for (char c : Utf8(text)) {
    if (c == '\n') out += "\\n";
    else if (c != '\r') out += c;
  }
  return out;
}

struct Scan {
  std::set<HWND>* handled;
  FILE* log;
};

BOOL CALLBACK VisitWindow(HWND window, LPARAM param) {
  Scan& scan = *reinterpret_cast<Scan*>(param);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  wchar_t className[64] = {};
  ::GetClassNameW(window, className, 64);
  if (pid == ::GetCurrentProcessId() || std::wstring(className) != L"#32770" || !::IsWindowVisible(window)) return TRUE;
  const HWND textControl = ::GetDlgItem(window, kMessageTextId);
  const HWND okButton = ::GetDlgItem(window, IDOK);
  if (!textControl || !okButton) return TRUE;
  if (scan.handled->insert(window).second) {
    std::fprintf(scan.log, "%s\t%s\n", Escaped(WindowText(window)).c_str(), Escaped(WindowText(textControl)).c_str());
    std::fflush(scan.log);
  }
  ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(okButton));
  return TRUE;
}

void ForgetClosed(std::set<HWND>& handled) {
  for (auto it = handled.begin(); it != handled.end();) {
    it = ::IsWindow(*it) ? std::next(it) : handled.erase(it);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: observer LOG-FILE STOP-FILE\n");
    return 2;
  }
  FILE* log = _wfopen(argv[1], L"ab");
  if (!log) return 1;
  std::set<HWND> handled;
  Scan scan{&handled, log};
  while (::GetFileAttributesW(argv[2]) == INVALID_FILE_ATTRIBUTES) {
    ::EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&scan));
    ForgetClosed(handled);
    ::Sleep(kPollMs);
  }
  std::fclose(log);
  return 0;
}
