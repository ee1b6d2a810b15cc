// libFuzzer target: arbitrary files through the description decryption.
#include "tests/fuzz/FuzzBodies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzDecryptOne(data, size);
  return 0;
}
