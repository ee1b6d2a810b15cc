#include "base/FailureLog.h"

void LogFailure(const std::wstring& what) {
  const std::wstring line = L"Setup: " + what + L"\n";
  ::OutputDebugStringW(line.c_str());
}

std::wstring ErrorSuffix(DWORD error) { return L" (error " + std::to_wstring(error) + L")"; }
