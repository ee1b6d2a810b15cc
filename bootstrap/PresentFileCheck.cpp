#include "bootstrap/PresentFileCheck.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "base/UniqueHandle.h"
#include "crypto/Sha256.h"
#include "fs/ApplicationFolder.h"
#include "fs/FileOperations.h"
#include "fs/SystemFolders.h"

namespace {
constexpr DWORD kReadSize = 64 * 1024;

// Reads the file once; false for a file that cannot be read or hashed.
bool FileHasSha256(const std::wstring& path, const std::string& expectedSha256) {
  const UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return false;
  Sha256 hasher;
  std::vector<char> buffer(kReadSize);
  for (;;) {
    DWORD count = 0;
    if (!::ReadFile(file.get(), buffer.data(), kReadSize, &count, nullptr)) return false;
    if (count == 0) break;
    if (!hasher.Add(buffer.data(), count)) return false;
  }
  const std::optional<Sha256Digest> digest = hasher.Finish();
  return digest && LowerHex(*digest) == expectedSha256;
}
}  // namespace

PresentFile CheckPresentFile(const std::wstring& path, const std::string& expectedSha256) {
  if (!FileExists(path)) return PresentFile::kAbsent;
  if (expectedSha256.empty() || FileHasSha256(path, expectedSha256)) return PresentFile::kCounts;
  // Left there, it would be started or read by the final setup as if it were the signed file.
  ::DeleteFileW(path.c_str());
  return PresentFile::kHashDiffers;
}
