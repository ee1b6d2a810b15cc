// Measures the description code against its floors: loading a 64 KB description (decryption
// and parsing) against bare RSA-OAEP decryption of the same blocks, section lookups in
// descriptions of growing size, and loading and walking file lists of 200 and 2,000 files.
// Prints the ratios after the benchmark table.
#include <benchmark/benchmark.h>
#include <cryptopp/filters.h>
#include <cryptopp/hex.h>
#include <cryptopp/osrng.h>
#include <cryptopp/rsa.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "description/DescriptionConstants.h"
#include "description/DescriptionSyntax.h"
#include "description/EmbeddedKey.h"
#include "description/FormatTag.h"
#include "description/LoadDescription.h"
#include "description/SetupDescription.h"
#include "tools/pack/EifKeys.h"
#include "tools/pack/EifPack.h"

namespace {

constexpr std::size_t kDescriptionBytes = 64 * 1024;

std::string SectionName(int i) { return "Section " + std::to_string(i); }

// Sections with a one-line value each, then the end marker.
std::string DescriptionOfSections(int sections) {
  std::string text;
  for (int i = 0; i < sections; ++i) {
    text += "[" + SectionName(i) + "]\nvalue of section " + std::to_string(i) + " in the description\n";
  }
  return text + "[End]\nEnd\n";
}

// A file list and padding sections up to 64 KB.
std::string SixtyFourKilobyteDescription() {
  std::string text = "[Files to download]\n";
  for (int i = 0; i < 400; ++i) text += "/downloads/App/file" + std::to_string(i) + ".cab -> file" + std::to_string(i) + ".cab\n";
  text += "[Download Sites]\nhost1\nhost2\n[Program to run]\nSetup.exe\n[User Info Filename]\n$Product$.txt\n[Product]\nApp\n";
  for (int i = 0; text.size() < kDescriptionBytes - 16; ++i) {
    text += "[" + SectionName(i) + "]\nsome value\n";
  }
  text.resize(kDescriptionBytes - 10, '\n');
  return text + "[End]\nEnd";
}

struct Fixture {
  std::string file;
  std::filesystem::path path;
  std::size_t blocks = 0;

  Fixture() {
    CryptoPP::RSA::PublicKey key;
    std::string error;
    if (!LoadEncryptionKey(kEmbeddedPrivateKey, key, error) ||
        !EncryptDescription(SixtyFourKilobyteDescription(), key, file, error)) {
      std::fprintf(stderr, "bench: %s\n", error.c_str());
      std::exit(1);
    }
    blocks = (file.size() - kDescriptionHeaderLength) / 128;
    path = std::filesystem::temp_directory_path() / "description-bench.eif";
    std::ofstream(path, std::ios::binary).write(file.data(), static_cast<std::streamsize>(file.size()));
  }
  ~Fixture() {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
  }
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void BM_Load64KB(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    LoadedDescription loaded = LoadDescription(f.path.wstring(), {});
    if (!loaded.Accepted()) state.SkipWithError("the description did not load");
    else benchmark::DoNotOptimize(loaded.Description().Text().data());
  }
  state.counters["blocks"] = static_cast<double>(f.blocks);
}
BENCHMARK(BM_Load64KB)->Unit(benchmark::kMillisecond);

// The floor: the library's decryption of the same blocks, one decryptor, one random pool.
void BM_BareRsaDecrypt64KB(benchmark::State& state) {
  using namespace CryptoPP;
  Fixture& f = Shared();
  StringSource keySource(kEmbeddedPrivateKey, true, new HexDecoder);
  RSAES_OAEP_SHA_Decryptor decryptor(keySource);
  AutoSeededRandomPool random;
  std::vector<byte> plain(decryptor.FixedMaxPlaintextLength());
  const auto* cipher = reinterpret_cast<const byte*>(f.file.data()) + kDescriptionHeaderLength;
  for (auto _ : state) {
    for (std::size_t b = 0; b < f.blocks; ++b) {
      benchmark::DoNotOptimize(decryptor.Decrypt(random, cipher + b * 128, 128, plain.data()));
    }
  }
  state.counters["blocks"] = static_cast<double>(f.blocks);
}
BENCHMARK(BM_BareRsaDecrypt64KB)->Unit(benchmark::kMillisecond);

// Looks up every section once, in descriptions of 250 to 2000 sections.
void BM_LookupEverySection(benchmark::State& state) {
  const int sections = static_cast<int>(state.range(0));
  const SetupDescription description = SetupDescription::Read(DescriptionOfSections(sections), {});
  std::vector<std::wstring> names;
  for (int i = 0; i < sections; ++i) {
    const std::string name = SectionName(i);
    names.emplace_back(name.begin(), name.end());
  }
  for (auto _ : state) {
    for (const std::wstring& name : names) benchmark::DoNotOptimize(description.GetValue(name));
  }
  state.counters["text_chars"] = static_cast<double>(description.Text().size());
}
BENCHMARK(BM_LookupEverySection)->Arg(250)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond);

// For comparison: a lookup that upper-cases a copy of the text and searches it each time.
void BM_LookupEverySectionCopying(benchmark::State& state) {
  const int sections = static_cast<int>(state.range(0));
  const SetupDescription description = SetupDescription::Read(DescriptionOfSections(sections), {});
  std::vector<std::wstring> keys;
  for (int i = 0; i < sections; ++i) {
    const std::string name = "[" + SectionName(i) + "]";
    keys.push_back(UpperAscii(std::wstring(name.begin(), name.end())));
  }
  for (auto _ : state) {
    for (const std::wstring& key : keys) benchmark::DoNotOptimize(UpperAscii(description.Text()).find(key));
  }
}
BENCHMARK(BM_LookupEverySectionCopying)->Arg(1000)->Unit(benchmark::kMillisecond);

// `files` listed files, two sites and the usual values.
std::string DescriptionOfFiles(int files) {
  std::string text = "[Files to download]\r\n";
  for (int i = 0; i < files; ++i) {
    text += "/downloads/App/part" + std::to_string(i) + ".cab -> part" + std::to_string(i) + ".cab\r\n";
  }
  return text + "[Download Sites]\r\nhost1\r\nhost2\r\n[Program to run]\r\nSetup.exe\r\n[End]\r\nEnd\r\n";
}

// Loads the description and walks its file list with the cursors, as the bootstrapper does.
void BM_LoadAndWalkFiles(benchmark::State& state) {
  const int files = static_cast<int>(state.range(0));
  const std::string plain = DescriptionOfFiles(files);
  for (auto _ : state) {
    LoadedDescription loaded = LoadPlainDescription(plain, {});
    if (!loaded.Accepted()) {
      state.SkipWithError("the description did not load");
      break;
    }
    SetupDescription& description = loaded.Description();
    int walked = 0;
    std::wstring source, target;
    for (bool more = description.GetFirstFile(source, target); more; more = description.GetNextFile(source, target)) {
      ++walked;
    }
    if (walked != files) state.SkipWithError("the walk missed files");
  }
}
BENCHMARK(BM_LoadAndWalkFiles)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond);

// For comparison, a walk whose every step looks the item up in the text: it finds the section,
// cuts out and trims its body and counts lines up to the item, so its cost grows with files
// times text.
void BM_LoadAndWalkFilesByLookup(benchmark::State& state) {
  const int files = static_cast<int>(state.range(0));
  const std::string plain = DescriptionOfFiles(files);
  for (auto _ : state) {
    LoadedDescription loaded = LoadPlainDescription(plain, {});
    if (!loaded.Accepted()) {
      state.SkipWithError("the description did not load");
      break;
    }
    SetupDescription& description = loaded.Description();
    int walked = 0;
    for (std::wstring item = description.GetItem(kFilesSection, 0); !item.empty();
         item = description.GetItem(kFilesSection, walked)) {
      const FileItem split = SplitFileItem(item);
      if (split.source.empty() || split.target.empty()) break;
      ++walked;
    }
    if (walked != files) state.SkipWithError("the walk missed files");
  }
}
BENCHMARK(BM_LoadAndWalkFilesByLookup)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond);

// Keeps every run's time per iteration so the ratios can be printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // Plain text: the figures are read from logs and terminals alike.
  RatioReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      // CPU time: other work on a shared machine then does not tilt the ratios.
      if (run.iterations > 0) milliseconds_[run.benchmark_name()] = run.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const double blocks = static_cast<double>(Shared().blocks);
    const double load = milliseconds_["BM_Load64KB"];
    const double bare = milliseconds_["BM_BareRsaDecrypt64KB"];
    if (load > 0 && bare > 0) {
      std::printf("\n64 KB description, %.0f blocks: Load %.1f us/block, bare RSA-OAEP decryption %.1f us/block, "
                  "ratio %.3f (target <= 1.25)\n",
                  blocks, load * 1e3 / blocks, bare * 1e3 / blocks, load / bare);
    }
    std::printf("\nLookup of every section (headers indexed at load: time per lookup should stay flat):\n");
    for (const int n : {250, 500, 1000, 2000}) {
      const double all = milliseconds_["BM_LookupEverySection/" + std::to_string(n)];
      if (all > 0) std::printf("  %5d sections: %8.2f us per lookup, %8.2f ms for all\n", n, all * 1e3 / n, all);
    }
    const double copying = milliseconds_["BM_LookupEverySectionCopying/1000"];
    const double cached = milliseconds_["BM_LookupEverySection/1000"];
    if (copying > 0 && cached > 0) {
      std::printf("  1000 sections, searching an upper-cased copy per lookup instead: %.2f ms for all (%.1fx)\n",
                  copying, copying / cached);
    }
    PrintFileWalks();
  }

 private:
  // Time per file at 200 and at 2,000 files: the same for a walk in linear time.
  void PrintFileWalks() {
    std::printf("\nLoad and walk of \"Files to download\" (linear: the time per file stays flat):\n");
    std::printf("  %-34s %16s %16s %8s\n", "", "200 files", "2000 files", "ratio");
    const std::pair<const char*, const char*> walks[] = {
        {"cursors over the lists of the load", "BM_LoadAndWalkFiles"},
        {"a lookup of the item at each step", "BM_LoadAndWalkFilesByLookup"}};
    for (const auto& walk : walks) {
      const double small = milliseconds_[std::string(walk.second) + "/200"] * 1e3 / 200;
      const double large = milliseconds_[std::string(walk.second) + "/2000"] * 1e3 / 2000;
      if (small <= 0 || large <= 0) continue;
      std::printf("  %-34s %8.2f us/file %8.2f us/file %7.2fx\n", walk.first, small, large, large / small);
    }
  }

  std::map<std::string, double> milliseconds_;  // CPU per iteration (every benchmark reports in ms)
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
