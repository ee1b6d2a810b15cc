#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/fuzz/FuzzBodies.h"

namespace {

// Every committed fuzz seed and every saved crash input, through the fuzz targets' own bodies:
// a fixed crash stays fixed in ordinary test runs, natively and under Wine.
int Replay(const std::string& folder, void (*body)(const std::uint8_t*, std::size_t)) {
  int replayed = 0;
  const std::filesystem::path root = std::filesystem::path(FUZZ_FOLDER) / folder;
  if (!std::filesystem::exists(root)) return 0;
  for (const auto& entry : std::filesystem::directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    SCOPED_TRACE(entry.path().string());
    body(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    ++replayed;
  }
  return replayed;
}

TEST(FuzzCorpus, SeedsAndSavedCrashesReplay) {
  EXPECT_GE(Replay("corpus/decrypt", FuzzDecryptOne), 5);
  EXPECT_GE(Replay("corpus/description", FuzzDescriptionOne), 6);
  Replay("regressions/decrypt", FuzzDecryptOne);
  Replay("regressions/description", FuzzDescriptionOne);
}

}  // namespace
