#include "base/PhaseMark.h"

#include <string>

void MarkPhase(const char* name) {
  const std::string line = std::string("Setup phase: ") + name + "\n";
  ::OutputDebugStringA(line.c_str());
}
