#include "description/FileHashes.h"

#include "description/DescriptionText.h"
#include "description/DescriptionTexts.h"
#include "description/SetupDescription.h"

namespace {

int HexValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

// One line: the digest in lower case and the target name; false when the line is malformed.
bool ParseLine(const std::wstring& line, std::string& digest, std::wstring& target) {
  if (line.size() <= kFileHashDigits || line[kFileHashDigits] != L' ') return false;
  static const char kDigits[] = "0123456789abcdef";
  digest.clear();
  for (std::size_t i = 0; i < kFileHashDigits; ++i) {
    const int value = HexValue(line[i]);
    if (value < 0) return false;
    digest.push_back(kDigits[value]);
  }
  // Targets are trimmed where "Files to download" is read, so the name is trimmed here too.
  target = TrimDescriptionSpace(line.substr(kFileHashDigits));
  return !target.empty();
}

}  // namespace

FileHashList ParseFileHashLines(const std::vector<std::wstring>& lines) {
  FileHashList list;
  for (std::size_t index = 0; index < lines.size(); ++index) {
    const std::wstring line = TrimDescriptionSpace(lines[index]);
    if (line.empty()) break;
    std::string digest;
    std::wstring target;
    if (!ParseLine(line, digest, target) || !list.byTarget.emplace(target, digest).second) {
      list.badLines.push_back(static_cast<int>(index) + 1);
    }
  }
  return list;
}

bool HasFileHashes(const SetupDescription& description) {
  return description.FindSection(kFileHashesSection) >= 0;
}

FileHashList FileHashesOf(const SetupDescription& description) {
  // The lines as every lookup sees them; none (and no message) when the section is missing.
  return ParseFileHashLines(description.SectionLines(kFileHashesSection));
}

std::vector<std::wstring> ListedTargets(const SetupDescription& description) {
  std::vector<std::wstring> targets;
  for (const std::wstring& line : description.SectionLines(kFilesSection)) {
    const FileItem item = SplitFileItem(line);
    if (item.source.empty() || item.target.empty()) break;
    targets.push_back(item.target);
  }
  return targets;
}

std::vector<std::wstring> TargetsWithoutHash(const SetupDescription& description, const FileHashList& hashes) {
  std::vector<std::wstring> missing;
  for (const std::wstring& target : ListedTargets(description)) {
    if (hashes.byTarget.count(target) == 0) missing.push_back(target);
  }
  return missing;
}

bool HashesCoverEveryFile(const SetupDescription& description) {
  const FileHashList hashes = FileHashesOf(description);
  return hashes.badLines.empty() && TargetsWithoutHash(description, hashes).empty();
}
