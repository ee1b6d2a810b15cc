#include "tools/pack/EifSigning.h"

#include <cryptopp/filters.h>
#include <cryptopp/osrng.h>
#include <cryptopp/rsa.h>
#include <cryptopp/sha.h>

#include <vector>

#include "crypto/SignatureVerifier.h"
#include "description/DescriptionSignature.h"
#include "tools/pack/EifKeys.h"

namespace {

using Signer = CryptoPP::RSASS<CryptoPP::PKCS1v15, CryptoPP::SHA256>::Signer;

// The line end the text already uses, so the appended lines match it.
std::string LineEndOf(const std::string& text) {
  const std::size_t feed = text.find('\n');
  if (feed != std::string::npos && (feed == 0 || text[feed - 1] != '\r')) return "\n";
  return "\r\n";
}

std::string UpperHex(const CryptoPP::SecByteBlock& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (const CryptoPP::byte b : bytes) {
    text.push_back(kDigits[b >> 4]);
    text.push_back(kDigits[b & 0x0F]);
  }
  return text;
}

}  // namespace

bool GenerateSigningKeyPair(unsigned int bits, SigningKeyPair& pair, std::string& error) {
  using namespace CryptoPP;
  RSA::PrivateKey privateKey;
  if (!GenerateRsaKey(bits, privateKey, error)) return false;
  try {
    pair.privateDer.clear();
    pair.publicDer.clear();
    StringSink privateSink(pair.privateDer);
    privateKey.DEREncode(privateSink);
    StringSink publicSink(pair.publicDer);
    RSA::PublicKey(privateKey).DEREncode(publicSink);
    return true;
  } catch (const Exception& e) {
    error = e.what();
    return false;
  }
}

bool AppendSignature(const std::string& plain, const std::string& privateKeyDer, std::string& signedText,
                     std::string& error) {
  using namespace CryptoPP;
  if (FindDescriptionSignature(plain).form != DescriptionSignature::Form::kNone) {
    error = "the text already has a [Signature] section";
    return false;
  }
  const std::string lineEnd = LineEndOf(plain);
  std::string text = plain;
  if (!text.empty() && text.back() != '\n' && text.back() != '\r') text += lineEnd;
  try {
    StringSource source(privateKeyDer, true);
    RSA::PrivateKey key;
    key.BERDecode(source);
    if (key.GetModulus().BitCount() < kMinimumSigningKeyBits) {
      error = "the key has fewer than " + std::to_string(kMinimumSigningKeyBits) + " bits";
      return false;
    }
    AutoSeededRandomPool random;
    const Signer signer(key);
    SecByteBlock signature(signer.MaxSignatureLength());
    signature.resize(signer.SignMessage(random, reinterpret_cast<const byte*>(text.data()), text.size(), signature));
    signedText = text + kSignatureHeader + lineEnd + UpperHex(signature) + lineEnd;
    return true;
  } catch (const Exception& e) {
    error = std::string("the signing key does not load or sign (") + e.what() + ")";
    return false;
  }
}

std::string SignatureProblem(const std::string& plain, const std::string& publicKeyDer) {
  const auto verifier = SignatureVerifier::Load(reinterpret_cast<const unsigned char*>(publicKeyDer.data()),
                                                publicKeyDer.size());
  if (!verifier) {
    return "the signing public key is not a DER RSA public key of at least " +
           std::to_string(kMinimumSigningKeyBits) + " bits";
  }
  const DescriptionSignature found = FindDescriptionSignature(plain);
  if (found.form != DescriptionSignature::Form::kWellFormed) return DescribeSignatureForm(found.form);
  if (found.signature.size() != verifier->SignatureLength()) {
    return "the [Signature] value has " + std::to_string(2 * found.signature.size()) + " digits; this key's take " +
           std::to_string(2 * verifier->SignatureLength());
  }
  if (!verifier->Verify(found.signedText, found.signature)) {
    return "the signature does not match: the text was changed after signing, or another key signed it";
  }
  return std::string();
}
