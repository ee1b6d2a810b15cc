#include "description/CryptoApiDecryptor.h"

#include <windows.h>
#include <wincrypt.h>

#include <algorithm>
#include <vector>

#include "base/UniqueHandle.h"
#include "base/HexText.h"
#include "crypto/Crypt32Functions.h"
#include "crypto/CryptoApiHandles.h"
#include "description/PrivateKeyDer.h"

namespace {

// The blob's layout is fixed whatever the pointer size: the modulus follows these two headers.
static_assert(sizeof(BLOBHEADER) == 8 && sizeof(RSAPUBKEY) == 12, "PRIVATEKEYBLOB headers are 8 and 12 bytes");

// SHA-1 OAEP: a zero byte, the masked seed and the label hash take 2 * 20 + 2 bytes.
constexpr std::size_t kOaepOverhead = 2 * 20 + 2;

// The PRIVATEKEYBLOB of an RSAPrivateKey (DER), with its modulus in big-endian order.
struct PrivateKeyBlob {
  std::vector<BYTE> blob;
  std::vector<BYTE> modulus;
};

std::optional<PrivateKeyBlob> DecodePrivateKey(const DerBytes& rsaKey) {
  void* decoded = nullptr;
  DWORD size = 0;
  if (!crypt32::CryptDecodeObjectEx(X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, PKCS_RSA_PRIVATE_KEY, rsaKey.data(),
                             static_cast<DWORD>(rsaKey.size()), CRYPT_DECODE_ALLOC_FLAG, nullptr, &decoded, &size)) {
    return std::nullopt;
  }
  const UniqueLocalMemory owner(decoded);
  if (size < sizeof(BLOBHEADER) + sizeof(RSAPUBKEY)) return std::nullopt;
  PrivateKeyBlob key;
  key.blob.assign(static_cast<const BYTE*>(decoded), static_cast<const BYTE*>(decoded) + size);
  // The blob is for decryption, whatever algorithm the decoder names.
  reinterpret_cast<BLOBHEADER*>(key.blob.data())->aiKeyAlg = CALG_RSA_KEYX;
  const auto* rsa = reinterpret_cast<const RSAPUBKEY*>(key.blob.data() + sizeof(BLOBHEADER));
  const std::size_t modulusLength = (rsa->bitlen + 7) / 8;
  const BYTE* modulus = key.blob.data() + sizeof(BLOBHEADER) + sizeof(RSAPUBKEY);
  if (modulusLength == 0 || size - sizeof(BLOBHEADER) - sizeof(RSAPUBKEY) < modulusLength) return std::nullopt;
  key.modulus.assign(std::make_reverse_iterator(modulus + modulusLength), std::make_reverse_iterator(modulus));
  return key;
}

class CryptoApiDecryptor : public BlockDecryptor {
 public:
  CryptoApiDecryptor(UniqueCryptProvider provider, UniqueCryptKey key, std::vector<BYTE> modulus)
      : provider_(std::move(provider)), key_(std::move(key)), modulus_(std::move(modulus)),
        buffer_(modulus_.size()) {}

  std::size_t CipherBlockLength() const override { return modulus_.size(); }
  std::size_t LargestPlaintext() const override {
    return modulus_.size() > kOaepOverhead ? modulus_.size() - kOaepOverhead : 0;
  }

  Outcome Decrypt(const unsigned char* block, unsigned char* plain, std::size_t& length) override {
    // A value not below the modulus is no ciphertext of this key; the platform would refuse
    // it like a bad padding, but it is a failure of its own kind.
    if (!std::lexicographical_compare(block, block + modulus_.size(), modulus_.begin(), modulus_.end())) {
      return Outcome::kFailed;
    }
    // CryptoAPI takes the number with its least significant byte first.
    std::reverse_copy(block, block + modulus_.size(), buffer_.begin());
    DWORD size = static_cast<DWORD>(buffer_.size());
    if (!::CryptDecrypt(key_.get(), 0, TRUE, CRYPT_OAEP, buffer_.data(), &size)) return Outcome::kRefused;
    if (size > LargestPlaintext()) return Outcome::kRefused;
    std::copy(buffer_.begin(), buffer_.begin() + size, plain);
    length = size;
    return Outcome::kPlain;
  }

 private:
  UniqueCryptProvider provider_;
  UniqueCryptKey key_;
  std::vector<BYTE> modulus_;  // big-endian
  std::vector<BYTE> buffer_;
};

}  // namespace

std::unique_ptr<BlockDecryptor> LoadCryptoApiDecryptor(const char* keyHex) {
  if (keyHex == nullptr) return nullptr;
  const std::optional<DerBytes> pkcs8 = DecodeHex(keyHex);
  if (!pkcs8) return nullptr;
  const std::optional<DerBytes> rsaKey = RsaKeyInsidePkcs8(*pkcs8);
  if (!rsaKey) return nullptr;
  std::optional<PrivateKeyBlob> decoded = DecodePrivateKey(*rsaKey);
  if (!decoded) return nullptr;
  // The AES provider also decrypts RSA-OAEP; the base provider is the fallback of older systems.
  UniqueCryptProvider provider = AcquireVerifyContext({PROV_RSA_AES, PROV_RSA_FULL});
  if (!provider) return nullptr;
  HCRYPTKEY key = 0;
  if (!::CryptImportKey(provider.get(), decoded->blob.data(), static_cast<DWORD>(decoded->blob.size()), 0, 0, &key)) {
    return nullptr;
  }
  UniqueCryptKey ownedKey(key);
  return std::make_unique<CryptoApiDecryptor>(std::move(provider), std::move(ownedKey), std::move(decoded->modulus));
}
