#pragma once
// The optional [File Hashes] section: one line per listed file (see FileHashLine.h for its form).
// An empty line ends the list, as for every list.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "description/DescriptionSyntax.h"
#include "description/FileHashLine.h"

inline constexpr wchar_t kFileHashesSection[] = L"File Hashes";

struct FileHashList {
  // Target name -> lower-case hex digest. The first line for a target counts.
  std::map<std::wstring, std::string> byTarget;
  // Target name -> signed size in bytes, for the lines (counted in byTarget) that carry one.
  std::map<std::wstring, std::uint32_t> sizeByTarget;
  // 1-based numbers of lines (within the trimmed section body) that are not of the form above,
  // or that name a target a second time.
  std::vector<int> badLines;
};

// Reads the lines of the section's body, as SetupDescription::SectionLines gives them.
FileHashList ParseFileHashLines(const std::vector<std::wstring>& lines);

// The targets of `files` (the description's listed files) that `hashes` has no line for.
std::vector<std::wstring> TargetsWithoutHash(const std::vector<ListedFile>& files, const FileHashList& hashes);

// What a build with a signing key demands: every listed file hashed, and no bad hash line.
bool HashesCoverEveryFile(const FileHashList& hashes, const std::vector<ListedFile>& files);

// The targets of `files` whose hash line carries no size.
std::vector<std::wstring> TargetsWithoutSize(const std::vector<ListedFile>& files, const FileHashList& hashes);
