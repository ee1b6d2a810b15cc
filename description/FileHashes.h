#pragma once
// The optional [File Hashes] section: one line per listed file, 64 hexadecimal digits (the
// file's SHA-256, either case), one or more spaces, then the target name exactly as it stands
// after "->" in "Files to download". An empty line ends the list, as for every list.
#include <map>
#include <string>
#include <vector>

#include "description/DescriptionSyntax.h"

inline constexpr wchar_t kFileHashesSection[] = L"File Hashes";
inline constexpr std::size_t kFileHashDigits = 64;

struct FileHashList {
  // Target name -> lower-case hex digest. The first line for a target counts.
  std::map<std::wstring, std::string> byTarget;
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
