#include "description/DecryptDescription.h"

#include <cryptopp/filters.h>
#include <cryptopp/hex.h>
#include <cryptopp/osrng.h>
#include <cryptopp/rsa.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <new>
#include <system_error>

#include "description/FileSignature.h"

namespace {

bool ReadWholeFile(const std::wstring& path, std::string& contents) {
  const std::filesystem::path file(path);
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  if (error || size == 0) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  try {
    contents.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  in.read(&contents[0], static_cast<std::streamsize>(contents.size()));
  return in.gcount() == static_cast<std::streamsize>(contents.size());
}

// The bytes before the first 0x00, converted, must be the signature exactly. Only the file's
// own bytes are looked at: a file without 0x00 or shorter than the header fails.
bool SignatureMatches(const std::string& file, const AnsiToWideFunction& ansiToWide) {
  if (file.size() < kDescriptionHeaderLength) return false;
  const std::size_t nul = file.find('\0');
  if (nul != kFileSignatureLength) return false;
  return WidenAnsi(ansiToWide, file.substr(0, nul)) == kFileSignature;
}

// The text buffer and its length, filled block by block. A library error leaves what was
// decrypted so far in place (zero-filled behind it, so always terminated).
void DecryptBlocks(const std::string& file, const char* key, DecryptedDescription& result) {
  using namespace CryptoPP;
  StringSource keySource(key, true, new HexDecoder);
  RSAES_OAEP_SHA_Decryptor decryptor(keySource);
  const std::size_t blockLength = decryptor.FixedCiphertextLength();
  const std::size_t largestPlaintext = decryptor.FixedMaxPlaintextLength();
  const std::size_t cipherLength = file.size() - kDescriptionHeaderLength;
  // Whole blocks only: a cut block could not be decoded anyway, and reading it would run
  // past the file.
  if (blockLength == 0 || cipherLength % blockLength != 0) return;
  const std::size_t blocks = cipherLength / blockLength;
  // The length is a 32-bit count: a text that could not be counted is refused.
  if (blocks > (static_cast<std::size_t>(INT_MAX) - 1) / (largestPlaintext == 0 ? 1 : largestPlaintext)) return;
  try {
    result.text.assign(largestPlaintext * blocks + 1, '\0');
  } catch (const std::bad_alloc&) {
    return;
  } catch (const std::length_error&) {
    return;
  }
  const auto* cipher = reinterpret_cast<const byte*>(file.data()) + kDescriptionHeaderLength;
  for (std::size_t position = 0; position < cipherLength; position += blockLength) {
    AutoSeededRandomPool random;
    const DecodingResult block = decryptor.Decrypt(
        random, cipher + position, blockLength, reinterpret_cast<byte*>(&result.text[result.length]));
    if (!block.isValidCoding) {
      result.text.clear();
      result.length = 0;
      return;
    }
    result.length += static_cast<int>(block.messageLength);
  }
  result.complete = true;
}

}  // namespace

DecryptedDescription DecryptDescriptionBytes(const std::string& file, const char* key,
                                             const AnsiToWideFunction& ansiToWide) {
  DecryptedDescription result;
  if (key == nullptr || !SignatureMatches(file, ansiToWide)) return result;
  try {
    DecryptBlocks(file, key, result);
  } catch (const CryptoPP::Exception&) {
    // The library's errors end the decryption here; the text so far is the result.
  }
  return result;
}

DecryptedDescription DecryptDescription(const std::wstring& path, const char* key,
                                        const AnsiToWideFunction& ansiToWide) {
  std::string file;
  if (!ReadWholeFile(path, file)) return DecryptedDescription();
  return DecryptDescriptionBytes(file, key, ansiToWide);
}
