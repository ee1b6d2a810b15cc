#include "base/PhaseMark.h"

#include <string>

void MarkPhase(const wchar_t* name) {
  const std::wstring line = std::wstring(L"Setup phase: ") + name + L"\n";
  ::OutputDebugStringW(line.c_str());
}
