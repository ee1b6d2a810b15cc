#include "description/FileHashes.h"

FileHashList ParseFileHashLines(const std::vector<std::wstring>& lines) {
  FileHashList list;
  for (std::size_t index = 0; index < lines.size(); ++index) {
    const std::wstring line = TrimDescriptionSpace(lines[index]);
    if (line.empty()) break;
    const std::optional<FileHashLine> parsed = ParseFileHashLine(line);
    if (!parsed || !list.byTarget.emplace(parsed->target, parsed->digest).second) {
      list.badLines.push_back(static_cast<int>(index) + 1);
      continue;
    }
    if (parsed->size) list.sizeByTarget.emplace(parsed->target, *parsed->size);
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

std::vector<std::wstring> TargetsWithoutSize(const std::vector<ListedFile>& files, const FileHashList& hashes) {
  std::vector<std::wstring> missing;
  for (const ListedFile& file : files) {
    if (hashes.sizeByTarget.count(file.target) == 0) missing.push_back(file.target);
  }
  return missing;
}
