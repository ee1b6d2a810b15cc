#include "description/FileHashes.h"

#include "base/HexText.h"

namespace {

// One line: the digest in lower case and the target name; false when the line is malformed.
bool ParseLine(const std::wstring& line, std::string& digest, std::wstring& target) {
  if (line.size() <= kFileHashDigits || line[kFileHashDigits] != L' ') return false;
  static const char kDigits[] = "0123456789abcdef";
  digest.clear();
  for (std::size_t i = 0; i < kFileHashDigits; ++i) {
    const int value = HexDigitValue(line[i]);
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

std::vector<std::wstring> TargetsWithoutHash(const std::vector<ListedFile>& files, const FileHashList& hashes) {
  std::vector<std::wstring> missing;
  for (const ListedFile& file : files) {
    if (hashes.byTarget.count(file.target) == 0) missing.push_back(file.target);
  }
  return missing;
}

bool HashesCoverEveryFile(const FileHashList& hashes, const std::vector<ListedFile>& files) {
  return hashes.badLines.empty() && TargetsWithoutHash(files, hashes).empty();
}
