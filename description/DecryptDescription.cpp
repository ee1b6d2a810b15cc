#include "description/DecryptDescription.h"

#include <climits>

#include "description/FormatTag.h"
#include "description/WholeFile.h"

namespace {

// The bytes before the first 0x00, converted, must be the format tag exactly. Only the file's
// own bytes are looked at: a file without 0x00 or shorter than the header fails.
bool FormatTagMatches(const std::string& file, const AnsiToWideFunction& ansiToWide) {
  if (file.size() < kDescriptionHeaderLength) return false;
  const std::size_t nul = file.find('\0');
  if (nul != kFormatTagLength) return false;
  return WidenAnsi(ansiToWide, file.substr(0, nul)) == kFormatTag;
}

DecryptedDescription Failed(DecryptionFailure failure) {
  DecryptedDescription result;
  result.failure = failure;
  return result;
}

// Room for every block's largest message and the terminating 0x00, all zero.
bool MakeRoom(std::size_t blocks, std::size_t largestPlaintext, DecryptedDescription& result) {
  // The length is a 32-bit count: a text that could not be counted is refused.
  if (blocks > (static_cast<std::size_t>(INT_MAX) - 1) / (largestPlaintext == 0 ? 1 : largestPlaintext)) {
    return false;
  }
  // Memory that cannot be had ends the process (Setup.exe has no exceptions to report it with).
  result.text.assign(largestPlaintext * blocks + 1, '\0');
  return true;
}

// The text buffer and its length, filled block by block. A refused block discards everything;
// a failed one leaves what was decrypted so far in place (zero-filled behind it, so always
// terminated).
void DecryptBlocks(const std::string& file, BlockDecryptor& decryptor, DecryptedDescription& result) {
  const std::size_t blockLength = decryptor.CipherBlockLength();
  const std::size_t largestPlaintext = decryptor.LargestPlaintext();
  const std::size_t cipherLength = file.size() - kDescriptionHeaderLength;
  result.blockLength = blockLength;
  // Whole blocks only: a cut block could not be decoded anyway, and reading it would run
  // past the file.
  if (blockLength == 0 || cipherLength % blockLength != 0) {
    result.failure = DecryptionFailure::kNotWholeBlocks;
    return;
  }
  const std::size_t blocks = cipherLength / blockLength;
  if (!MakeRoom(blocks, largestPlaintext, result)) {
    result.failure = DecryptionFailure::kTooLong;
    return;
  }
  const auto* cipher = reinterpret_cast<const unsigned char*>(file.data()) + kDescriptionHeaderLength;
  for (std::size_t index = 0; index < blocks; ++index) {
    auto* plain = reinterpret_cast<unsigned char*>(&result.text[static_cast<std::size_t>(result.length)]);
    std::size_t length = 0;
    const BlockDecryptor::Outcome outcome = decryptor.Decrypt(cipher + index * blockLength, plain, length);
    if (outcome != BlockDecryptor::Outcome::kPlain) {
      result.failedBlock = index + 1;
      if (outcome == BlockDecryptor::Outcome::kFailed) {
        result.failure = DecryptionFailure::kBlockFailed;
        return;
      }
      result.failure = DecryptionFailure::kBlockRefused;
      result.text.clear();
      result.length = 0;
      return;
    }
    result.length += static_cast<int>(length);
  }
  result.complete = true;
}

}  // namespace

DecryptedDescription DecryptDescriptionBytesWith(BlockDecryptorLoader load, const std::string& file,
                                                 const char* key, const AnsiToWideFunction& ansiToWide) {
  if (file.empty()) return Failed(DecryptionFailure::kUnreadableFile);
  if (file.size() > kMaxDescriptionFileBytes) return Failed(DecryptionFailure::kFileTooLarge);
  if (!FormatTagMatches(file, ansiToWide)) return Failed(DecryptionFailure::kNoFormatTag);
  const std::unique_ptr<BlockDecryptor> decryptor = key == nullptr ? nullptr : load(key);
  if (!decryptor) return Failed(DecryptionFailure::kKeyDoesNotLoad);
  DecryptedDescription result;
  DecryptBlocks(file, *decryptor, result);
  return result;
}

DecryptedDescription DecryptDescriptionBytes(const std::string& file, const char* key,
                                             const AnsiToWideFunction& ansiToWide) {
  return DecryptDescriptionBytesWith(LoadPlatformDecryptor, file, key, ansiToWide);
}

DecryptedDescription DecryptDescription(const std::wstring& path, const char* key,
                                        const AnsiToWideFunction& ansiToWide) {
  // One byte more than the limit is enough to tell a file that is too large.
  const std::optional<std::string> file = ReadWholeFile(path, kMaxDescriptionFileBytes + 1);
  if (!file) return Failed(DecryptionFailure::kUnreadableFile);
  return DecryptDescriptionBytes(*file, key, ansiToWide);
}
