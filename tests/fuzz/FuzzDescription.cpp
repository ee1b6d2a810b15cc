// libFuzzer target: arbitrary plain texts loaded as a setup description.
#include "tests/fuzz/FuzzBodies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzDescriptionOne(data, size);
  return 0;
}
