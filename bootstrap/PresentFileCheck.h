#pragma once
// A listed file already in the setup temp folder when its transfer failed (a local copy, or an
// earlier item of the same name): whether it counts as done. It counts only with the bytes its
// hash line gives, when it has one.
#include <string>

enum class PresentFile {
  kAbsent,
  kCounts,
  kHashDiffers,  // present with other bytes, or unreadable: deleted
};

// `expectedSha256`: 64 lower-case hexadecimal digits, or empty when the file has no hash line.
PresentFile CheckPresentFile(const std::wstring& path, const std::string& expectedSha256);
