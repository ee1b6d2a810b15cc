#pragma once
// The encrypting side of descriptions: what a publisher runs to make a .eif file.
#include <cryptopp/rsa.h>

#include <string>
#include <vector>

// Largest plaintext per block for `key` (86 for a 1024-bit key).
std::size_t LargestPieceFor(const CryptoPP::RSA::PublicKey& key);

// Signature, 0x00, then one RSA-OAEP (SHA-1) block per piece, in order. Each piece must fit a
// block. False (with `error` set) when the library fails or a piece is too long.
bool EncryptPieces(const std::vector<std::string>& pieces, const CryptoPP::RSA::PublicKey& key,
                   std::string& file, std::string& error);

// `plain` cut into pieces of the largest plaintext per block (the last one shorter), encrypted.
bool EncryptDescription(const std::string& plain, const CryptoPP::RSA::PublicKey& key,
                        std::string& file, std::string& error);

// Length of the encrypted file for a plain text of `plainLength` bytes.
std::size_t EncryptedSizeFor(std::size_t plainLength, const CryptoPP::RSA::PublicKey& key);

// `plain` as it goes into the file: when its encrypted file would be shorter than a default
// host must serve, one "//" comment line is appended, just long enough. `added` is the number
// of bytes appended (0 when the text was long enough).
std::string PaddedForDefaultHosts(const std::string& plain, const CryptoPP::RSA::PublicKey& key,
                                  std::size_t& added);
