#include <algorithm>
#include "tests/fuzz/FuzzBodies.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/AsciiText.h"
#include "description/DecryptDescription.h"
#include "description/DescriptionSignature.h"
#include "description/DescriptionSyntax.h"
#include "description/EmbeddedKey.h"
#include "description/FormatTag.h"
#include "description/LoadDescription.h"
#include "description/SetupDescription.h"
#include "description/ValidUntil.h"
#include "tools/check/DescriptionCheck.h"
#include "tools/pack/SignedSections.h"

namespace {

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz property violated: %s\n", what);
  std::abort();
}

DescriptionPlatform FuzzPlatform() {
  DescriptionPlatform platform;
  platform.tempFolder = [] { return std::wstring(L"C:\\Temp"); };
  platform.applicationFolder = [] { return std::wstring(L"c:\\app\\"); };
  platform.missingSection = [](const std::wstring&) {};
  return platform;
}

// 2026-12-09 12:00:00 UTC.
constexpr std::int64_t kFuzzNow = 1796817600;

// As a build with a signing key and every requirement sees a text: any well-formed [Signature]
// passes, so the rules behind it are reached.
DescriptionPlatform SignedFuzzPlatform() {
  DescriptionPlatform platform = FuzzPlatform();
  platform.verifySignature = [](const std::string&, const std::vector<unsigned char>&) { return true; };
  platform.signing.requireValidUntil = platform.signing.requireApplication = platform.signing.requireSizes = true;
  platform.signedContext.utcNow = [] { return kFuzzNow; };
  platform.signedContext.applicationName = L"Demo";
  platform.signedContext.sameApplication = [](const std::wstring& a, const std::wstring& b) {
    return UpperAscii(a) == UpperAscii(b);
  };
  return platform;
}

// A signed text that loads met every rule; one that is refused says why.
void CheckSignedRules(const std::string& plain) {
  const LoadedDescription loaded = LoadPlainDescription(plain, SignedFuzzPlatform());
  if (!loaded.Accepted()) {
    Require(!DescribeRefusal(loaded.Refusal()).empty(), "refused without a reason");
    return;
  }
  const SetupDescription& description = loaded.Description();
  const std::optional<std::int64_t> until =
      ParseValidUntil(TrimDescriptionSpace(description.GetValue(L"Valid Until")));
  Require(until && StillValid(*until, kFuzzNow), "loaded expired or without [Valid Until]");
  const std::string written = FormatValidUntil(*until);
  Require(ParseValidUntil(std::wstring(written.begin(), written.end())) == until, "[Valid Until] does not read back");
  const FileHashList hashes = FileHashesOf(description);
  Require(TargetsWithoutSize(description.ListedFiles(), hashes).empty(), "loaded with a listed file unsized");
  CheckSignedText(plain, kFuzzNow);
  ExpiryWarning(plain, kFuzzNow);
}

}  // namespace

void FuzzDecryptOne(const std::uint8_t* data, std::size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  const DecryptedDescription result = DecryptDescriptionBytes(file, kEmbeddedPrivateKey, nullptr);
  const bool blockFault = result.failure == DecryptionFailure::kBlockRefused ||
                          result.failure == DecryptionFailure::kBlockFailed;
  Require(result.complete == (result.failure == DecryptionFailure::kNone), "complete but a failure named");
  Require(result.HasText() == (result.complete || result.failure == DecryptionFailure::kBlockFailed),
          "text kept for a failure that discards it");
  Require(blockFault == (result.failedBlock != 0), "failed block named without a block fault");
  if (!result.HasText()) {
    Require(result.length == 0, "no text but a length");
    return;
  }
  Require(size >= kDescriptionHeaderLength, "text from a file shorter than the header");
  const std::size_t blocks = (size - kDescriptionHeaderLength) / 128;
  Require((size - kDescriptionHeaderLength) % 128 == 0, "text from a file of part blocks");
  Require(result.text.size() == 86 * blocks + 1, "text buffer not sized by the block count");
  Require(result.length >= 0 && static_cast<std::size_t>(result.length) < result.text.size(),
          "length outside the buffer");
  Require(result.text[static_cast<std::size_t>(result.length)] == '\0', "text not terminated");
}

// The header index must answer exactly as a search of the upper-cased text would: every name
// that some "[" in the text starts, with or without brackets inside.
void CompareLookupsWithSearch(const SetupDescription& description) {
  const std::wstring& text = description.Text();
  const std::wstring upper = UpperAscii(text);
  int compared = 0;
  for (std::size_t open = text.find(L'['); open != std::wstring::npos && compared < 200;
       open = text.find(L'[', open + 1), ++compared) {
    const std::size_t close = text.find(L']', open + 1);
    if (close == std::wstring::npos) break;
    const std::wstring name = text.substr(open + 1, close - open - 1);
    const std::size_t found = upper.find(UpperAscii(L"[" + name + L"]"));
    const int expected = found == std::wstring::npos ? -1 : static_cast<int>(found + name.size() + 2);
    Require(description.FindSection(name) == expected, "header index differs from the search");
  }
}

// The first items of each list, read one lookup a step as the format defines the walks, against
// the lists of the load (a lookup a step costs the whole section: only the first items).
void CompareListsWithLookups(const SetupDescription& description) {
  constexpr int kItems = 200;
  const std::vector<ListedFile>& files = description.ListedFiles();
  int index = 0;
  for (; index < kItems; ++index) {
    const FileItem item = SplitFileItem(description.GetItem(L"Files to download", index));
    if (item.source.empty() || item.target.empty()) break;
    Require(static_cast<std::size_t>(index) < files.size() && files[index].source == item.source &&
                files[index].target == item.target,
            "listed file differs from its lookup");
  }
  Require(index == kItems || files.size() == static_cast<std::size_t>(index), "file list longer than its walk");
  const std::vector<std::wstring>& sites = description.Sites();
  for (index = 0; index < kItems; ++index) {
    const std::wstring host = TrimDescriptionSpace(description.GetItem(L"Download Sites", index));
    if (host.empty()) break;
    Require(static_cast<std::size_t>(index) < sites.size() && sites[index] == host, "site differs from its lookup");
  }
  Require(index == kItems || sites.size() == static_cast<std::size_t>(index), "site list longer than its walk");
}

void FuzzDescriptionOne(const std::uint8_t* data, std::size_t size) {
  const std::string plain(reinterpret_cast<const char*>(data), size);
  const bool loaded = LoadPlainDescription(plain, FuzzPlatform()).Accepted();
  SetupDescription description = SetupDescription::Read(plain, FuzzPlatform());
  const std::size_t visible = std::string(plain.c_str()).size();
  Require(description.Text().size() <= std::max(visible, SetupDescription::ExpandedLengthLimit(visible)),
          "expansion grew past its bound");
  if (loaded) Require(description.GetValue(L"End") == L"End", "loaded without the end marker");
  CompareLookupsWithSearch(description);

  CompareListsWithLookups(description);

  std::wstring source, target, host;
  std::size_t steps = 0;
  for (bool more = description.GetFirstFile(source, target); more; more = description.GetNextFile(source, target)) {
    Require(steps < description.ListedFiles().size() && description.ListedFiles()[steps].source == source &&
                description.ListedFiles()[steps].target == target,
            "the file cursor differs from the list");
    ++steps;
  }
  Require(steps == description.ListedFiles().size(), "the file cursor stopped early");
  steps = 0;
  for (bool more = description.GetFirstSite(host); more; more = description.GetNextSite(host)) {
    Require(steps < description.Sites().size() && description.Sites()[steps] == host,
            "the site cursor differs from the list");
    ++steps;
  }
  Require(steps == description.Sites().size(), "the site cursor stopped early");
  description.GetValue(L"Program to run");
  description.GetItem(L"Download Sites", 3);
  CheckPlainDescription(plain);

  const DescriptionSignature signature = FindDescriptionSignature(plain);
  Require(plain.compare(0, signature.signedText.size(), signature.signedText) == 0, "signed text is no prefix");
  const bool wellFormed = signature.form == DescriptionSignature::Form::kWellFormed;
  Require(wellFormed == !signature.signature.empty(), "signature bytes without a well-formed section");
  Require(signature.form != DescriptionSignature::Form::kNone || signature.signedText == plain,
          "no section, yet not the whole text signed");
  CheckSignedRules(plain);
}
