#include "bootstrap/PresentFileCheck.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "base/UniqueHandle.h"
#include "crypto/Sha256.h"

namespace {
constexpr DWORD kReadSize = 64 * 1024;
}  // namespace

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
