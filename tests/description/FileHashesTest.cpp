// The [File Hashes] lines, and which listed files they leave without a hash.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "description/DescriptionSyntax.h"
#include "description/FileHashLine.h"
#include "description/FileHashes.h"
#include "description/SetupDescription.h"

namespace {

const std::wstring kUpper = L"9F86D081884C7D659A2FEAA0C55AD015A3BF4F1B2B0B822CD15D6C15B0F00A08";
const std::wstring kLower = L"9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08";
const std::string kDigest = "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08";

TEST(FileHashLines, ReadsWhatTheFormatAllowsAndFlagsTheRest) {
  const struct {
    const char* name;
    std::wstring body;
    std::vector<std::wstring> targets;  // read, in name order
    std::vector<int> badLines;
  } cases[] = {
      {"upper and lower case", kUpper + L" a.exe\n" + kLower + L" b.cab", {L"a.exe", L"b.cab"}, {}},
      {"several spaces, CR line ends", kLower + L"    a.exe\r\n" + kUpper + L"  b.cab", {L"a.exe", L"b.cab"}, {}},
      {"a name with spaces", kLower + L" My Setup 2.exe", {L"My Setup 2.exe"}, {}},
      {"an empty line ends the list", kLower + L" a.exe\n\n" + kUpper + L" b.cab", {L"a.exe"}, {}},
      {"63 digits", kLower.substr(1) + L" a.exe", {}, {1}},
      {"65 digits", kLower + L"0 a.exe", {}, {1}},
      {"not hex", L"g" + kLower.substr(1) + L" a.exe", {}, {1}},
      {"a tab, not a space", kLower + L"\ta.exe", {}, {1}},
      {"no name", kLower + L"   ", {}, {1}},
      {"a target twice: the first counts", kLower + L" a.exe\n" + L"0" + kLower.substr(1) + L" a.exe",
       {L"a.exe"}, {2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const FileHashList list = ParseFileHashLines(SplitLines(c.body));
    std::vector<std::wstring> targets;
    for (const auto& entry : list.byTarget) {
      targets.push_back(entry.first);
      EXPECT_EQ(entry.second, kDigest);
    }
    EXPECT_EQ(targets, c.targets);
    EXPECT_EQ(list.badLines, c.badLines);
  }
}

TEST(FileHashLines, ASizeBetweenDigestAndTargetIsSignedWithIt) {
  const struct {
    const char* name;
    std::wstring line;
    bool read;
    std::optional<std::uint32_t> size;
    std::wstring target;
  } cases[] = {
      {"old form", kLower + L" a.exe", true, std::nullopt, L"a.exe"},
      {"size and target", kLower + L" 1048576 a.exe", true, 1048576u, L"a.exe"},
      {"several spaces, a name with spaces", kUpper + L"   12   My Setup.cab", true, 12u, L"My Setup.cab"},
      {"zero bytes, leading zeros", kLower + L" 000 empty.dat", true, 0u, L"empty.dat"},
      {"largest 32-bit size", kLower + L" 4294967295 big.cab", true, 4294967295u, L"big.cab"},
      {"a target of digits alone is the old form", kLower + L" 2024", true, std::nullopt, L"2024"},
      {"digits glued to letters are a name", kLower + L" 2024report.pdf", true, std::nullopt, L"2024report.pdf"},
      {"past 32 bits", kLower + L" 4294967296 big.cab", false, std::nullopt, L""},
      {"far past 32 bits", kLower + L" 99999999999999999999999 big.cab", false, std::nullopt, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<FileHashLine> line = ParseFileHashLine(c.line);
    ASSERT_EQ(line.has_value(), c.read);
    if (!c.read) continue;
    EXPECT_EQ(line->digest, kDigest);
    EXPECT_EQ(line->size, c.size);
    EXPECT_EQ(line->target, c.target);
  }
  const FileHashList list = ParseFileHashLines({kLower + L" 7 a.exe", kLower + L" b.cab"});
  EXPECT_EQ(list.sizeByTarget, (std::map<std::wstring, std::uint32_t>{{L"a.exe", 7}}));
  EXPECT_EQ(TargetsWithoutSize({{L"/a.exe", L"a.exe"}, {L"/b.cab", L"b.cab"}}, list),
            std::vector<std::wstring>{L"b.cab"});
}

TEST(FileHashLines, ComeFromTheReadDescriptionOnly) {
  const SetupDescription with = SetupDescription::Read(
      "[File Hashes]\n" + std::string(kDigest.begin(), kDigest.end()) + " a.exe // the setup\n[End]\nEnd\n", {});
  EXPECT_TRUE(HasFileHashes(with));
  EXPECT_EQ(FileHashesOf(with).byTarget.at(L"a.exe"), kDigest);

  const SetupDescription without = SetupDescription::Read("[End]\nEnd\n", {});
  EXPECT_FALSE(HasFileHashes(without));
  EXPECT_TRUE(FileHashesOf(without).byTarget.empty());
}

TEST(FileHashLines, CoverTheListedFilesOrNameTheOnesLeft) {
  const std::wstring line = kLower + L" a.exe";
  const std::vector<ListedFile> files = {{L"/x/a.exe", L"a.exe"}, {L"/x/b.cab", L"b.cab"}};
  const struct {
    const char* name;
    std::vector<std::wstring> lines;
    std::vector<ListedFile> files;
    std::vector<std::wstring> withoutHash;
    bool covered;
  } cases[] = {
      {"every file hashed", {line, kUpper + L" b.cab"}, files, {}, true},
      {"one file left", {line}, files, {L"b.cab"}, false},
      {"no lines", {}, files, {L"a.exe", L"b.cab"}, false},
      {"no files, no lines", {}, {}, {}, true},
      {"a bad line", {line, kUpper + L" b.cab", L"junk"}, files, {}, false},
      {"a name hashed differs in case", {kLower + L" A.EXE", kUpper + L" b.cab"}, files, {L"a.exe"}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const FileHashList hashes = ParseFileHashLines(c.lines);
    EXPECT_EQ(TargetsWithoutHash(c.files, hashes), c.withoutHash);
    EXPECT_EQ(HashesCoverEveryFile(hashes, c.files), c.covered);
  }
}

}  // namespace
