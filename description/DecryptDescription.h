#pragma once
// Encrypted description file to plain narrow text: the signature, 0x00, then RSA-OAEP (SHA-1)
// blocks of the key's ciphertext length, each holding up to its largest plaintext.
#include <string>
#include <vector>

#include "description/AnsiWidening.h"

struct DecryptedDescription {
  // The plaintext followed by at least one 0x00 byte; empty when nothing came back.
  std::vector<char> text;
  // Plaintext bytes written (the terminating 0x00 not counted).
  int length = 0;
  // False when the library failed part-way: `text` then holds the blocks before the failure.
  bool complete = false;

  bool HasText() const { return !text.empty(); }
};

// Reads the file at `path` and decrypts it with `key` (hex of a PKCS #8 RSA private key).
// Never throws. Nothing comes back for an unreadable or empty file, a wrong signature, a key
// that does not load, a ciphertext that is not whole blocks, or a block that fails OAEP decoding.
DecryptedDescription DecryptDescription(const std::wstring& path, const char* key,
                                        const AnsiToWideFunction& ansiToWide);

// The same for file contents already in memory.
DecryptedDescription DecryptDescriptionBytes(const std::string& file, const char* key,
                                             const AnsiToWideFunction& ansiToWide);
