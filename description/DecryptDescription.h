#pragma once
// Encrypted description file to plain narrow text: the format tag, 0x00, then RSA-OAEP (SHA-1)
// blocks of the key's ciphertext length, each holding up to its largest plaintext.
#include <cstddef>
#include <string>
#include <vector>

#include "description/AnsiWidening.h"
#include "description/BlockDecryptor.h"

// Why a decryption gave less than the whole text.
enum class DecryptionFailure {
  kNone,
  kUnreadableFile,   // missing, unreadable or empty
  kFileTooLarge,     // longer than kMaxDescriptionFileBytes: refused before any decryption
  kNoFormatTag,      // shorter than the header, or the format tag and its 0x00 do not match
  kKeyDoesNotLoad,
  kNotWholeBlocks,   // the ciphertext is not a multiple of the block length
  kTooLong,          // the text could not be counted in an int, or not be held in memory
  kBlockRefused,     // block `failedBlock` failed OAEP decoding: nothing comes back
  kBlockFailed,      // block `failedBlock` is no ciphertext of the key: the blocks before it stay
};

// A description is a few kilobytes; a larger file would cost seconds of decryption and its whole
// size in memory before anything could be refused.
inline constexpr std::size_t kMaxDescriptionFileBytes = 1024 * 1024;

struct DecryptedDescription {
  // The plaintext followed by at least one 0x00 byte; empty when nothing came back.
  std::vector<char> text;
  // Plaintext bytes written (the terminating 0x00 not counted).
  int length = 0;
  // False when the library failed part-way: `text` then holds the blocks before the failure.
  bool complete = false;
  DecryptionFailure failure = DecryptionFailure::kNone;
  // The block (counted from 1) that failed, for kBlockRefused and kBlockFailed.
  std::size_t failedBlock = 0;
  // The key's cipher block length, once the key has loaded.
  std::size_t blockLength = 0;

  bool HasText() const { return !text.empty(); }
};

// Reads the file at `path` and decrypts it with `key` (hex of a PKCS #8 RSA private key) with
// this build's decryptor. Never throws. Nothing comes back for an unreadable or empty file, a
// wrong format tag, a key that does not load, a ciphertext that is not whole blocks, or a block
// that fails OAEP decoding.
DecryptedDescription DecryptDescription(const std::wstring& path, const char* key,
                                        const AnsiToWideFunction& ansiToWide);

// The same for file contents already in memory.
DecryptedDescription DecryptDescriptionBytes(const std::string& file, const char* key,
                                             const AnsiToWideFunction& ansiToWide);

// The same with the decryptor that `load` makes from `key`.
DecryptedDescription DecryptDescriptionBytesWith(BlockDecryptorLoader load, const std::string& file,
                                                 const char* key, const AnsiToWideFunction& ansiToWide);
