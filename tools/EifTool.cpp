// eiftool: the publisher's side of setup descriptions (keys, encryption, decryption, checks).
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "description/DecryptDescription.h"
#include "tools/AuditCommand.h"
#include "tools/DescriptionCheck.h"
#include "tools/EifKeys.h"
#include "tools/EifPack.h"
#include "tools/EifSigning.h"
#include "tools/FileHashText.h"
#include "tools/ToolFiles.h"
#include "tools/ToolHelp.h"

namespace {

int Fail(const std::string& message) {
  std::cerr << "eiftool: " << message << "\n";
  return 1;
}

// Writes each (file name, bytes) into `folder`, made if missing; the paths written, in order,
// or nothing with a message printed.
std::vector<std::string> WriteKeyFiles(const std::string& folder,
                                       const std::vector<std::pair<const char*, std::string>>& files) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::u8path(folder), error);
  if (error) {
    Fail("cannot create folder " + folder + ": " + error.message());
    return {};
  }
  std::vector<std::string> paths;
  for (const auto& [name, bytes] : files) {
    paths.push_back((std::filesystem::u8path(folder) / name).u8string());
    if (!WriteFileBytes(paths.back(), bytes)) {
      Fail("cannot write " + paths.back());
      return {};
    }
  }
  return paths;
}

int KeyGen(const std::string& folder) {
  KeyPairText pair;
  std::string why;
  if (!GenerateKeyPair(kDescriptionKeyBits, pair, why)) return Fail("key generation failed: " + why);
  const std::vector<std::string> paths =
      WriteKeyFiles(folder, {{"private.hex", pair.privateHex}, {"public.der", pair.publicDer}});
  if (paths.empty()) return 1;
  std::cout << "wrote " << paths[0] << " (" << pair.privateHex.size() / 2 << " bytes of PKCS #8 DER as hex) and "
            << paths[1] << " (" << pair.publicDer.size() << " bytes)\n";
  return 0;
}

int SignKey(const std::string& folder) {
  SigningKeyPair pair;
  std::string why;
  if (!GenerateSigningKeyPair(kSigningKeyBits, pair, why)) return Fail("key generation failed: " + why);
  const std::vector<std::string> paths =
      WriteKeyFiles(folder, {{"signing-private.der", pair.privateDer}, {"signing-public.der", pair.publicDer}});
  if (paths.empty()) return 1;
  std::cout << "wrote " << paths[0] << " (PKCS #8 DER; keep it secret) and " << paths[1]
            << " (build Setup.exe with -DSETUP_SIGNING_PUBLIC_KEY=it)\n";
  return 0;
}

int Hash(const std::vector<std::string>& paths) {
  std::vector<NamedDigest> files;
  for (const std::string& path : paths) {
    const std::optional<Sha256Digest> digest = HashFile(path);
    if (!digest) return Fail("cannot read " + path);
    files.push_back({std::filesystem::u8path(path).filename().u8string(), *digest});
  }
  std::cout << FileHashesSection(files);
  return 0;
}

// `plain` with its [Signature] section appended, or false with a message printed.
bool SignPlainText(const std::string& signingKeyPath, std::string& plain) {
  std::string keyDer;
  if (!ReadFileBytes(signingKeyPath, keyDer)) return Fail("cannot read signing key " + signingKeyPath) == 0;
  std::string signedText;
  std::string why;
  if (!AppendSignature(plain, keyDer, signedText, why)) return Fail("cannot sign: " + why) == 0;
  plain = signedText;
  return true;
}

int Pack(const std::string& keyPath, const std::string& plainPath, const std::string& outPath,
         const std::string& signingKeyPath) {
  std::string keyText;
  std::string plain;
  if (!ReadFileBytes(keyPath, keyText)) return Fail("cannot read key " + keyPath);
  if (!ReadFileBytes(plainPath, plain)) return Fail("cannot read " + plainPath);
  const std::size_t nul = plain.find('\0');
  if (nul != std::string::npos) {
    return Fail(plainPath + " holds a 0x00 byte at offset " + std::to_string(nul) +
                "; the bootstrapper would stop reading there");
  }
  CryptoPP::RSA::PublicKey key;
  std::string why;
  if (!LoadEncryptionKey(keyText, key, why)) return Fail(keyPath + ": " + why);
  std::size_t added = 0;
  std::string padded = PaddedForDefaultHosts(plain, key, added);
  if (!signingKeyPath.empty()) {
    // A signature section alone takes a text past the default hosts' floor, so a signed text
    // needs no padding; were it ever needed, it goes first: the signature must end the text.
    std::string signedPlain = plain;
    if (!SignPlainText(signingKeyPath, signedPlain)) return 1;
    std::size_t signedNeeds = 0;
    PaddedForDefaultHosts(signedPlain, key, signedNeeds);
    if (signedNeeds == 0) {
      padded = signedPlain;
      added = 0;
    } else if (!SignPlainText(signingKeyPath, padded)) {
      return 1;
    }
  }
  if (added > 0) {
    std::cerr << "eiftool: " << outPath << " would be " << EncryptedSizeFor(plain.size(), key)
              << " bytes, too short for a default host; appended a comment line of " << added
              << " bytes to the text\n";
  }
  std::string file;
  if (!EncryptDescription(padded, key, file, why)) return Fail("encryption failed: " + why);
  if (!WriteFileBytes(outPath, file)) return Fail("cannot write " + outPath);
  return 0;
}

// The private key file's hex text, or false with a message printed.
bool ReadPrivateKey(const std::string& keyPath, std::string& keyText) {
  std::string why;
  if (!ReadPrivateKeyFile(keyPath, keyText, why)) return Fail(why) == 0;
  return true;
}

int Unpack(const std::string& keyPath, const std::string& inPath) {
  std::string keyText;
  if (!ReadPrivateKey(keyPath, keyText)) return 1;
  std::string file;
  if (!ReadFileBytes(inPath, file)) return Fail("cannot read " + inPath);
  const DecryptedDescription plain = DecryptDescriptionBytes(file, keyText.c_str(), nullptr);
  if (!plain.HasText()) return Fail(inPath + ": " + DescribeDecryptionFailure(file, keyText));
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  std::fwrite(plain.text.data(), 1, static_cast<std::size_t>(plain.length), stdout);
  std::fflush(stdout);
  if (!plain.complete) return Fail(inPath + ": decryption stopped part-way; the text above is incomplete");
  return 0;
}

// What a build with the key at `publicKeyPath` refuses in the decrypted `file`: a missing or bad
// signature, listed files without a hash line, malformed hash lines.
std::vector<std::string> VerifyProblems(const std::string& file, const std::string& keyText,
                                        const std::string& publicKeyPath) {
  std::string publicDer;
  if (!ReadFileBytes(publicKeyPath, publicDer)) return {"cannot read signing public key " + publicKeyPath};
  const DecryptedDescription plain = DecryptDescriptionBytes(file, keyText.c_str(), nullptr);
  if (!plain.HasText()) return {};  // the checks of the file already say why
  const std::string text(plain.text.data(), static_cast<std::size_t>(plain.length));
  std::vector<std::string> problems = CheckFileHashCoverage(text);
  const std::string problem = SignatureProblem(text, publicDer);
  if (!problem.empty()) problems.insert(problems.begin(), problem);
  return problems;
}

int Check(const std::string& keyPath, const std::string& inPath, const std::string& publicKeyPath) {
  std::string keyText;
  if (!ReadPrivateKey(keyPath, keyText)) return 1;
  std::string file;
  if (!ReadFileBytes(inPath, file)) return Fail("cannot read " + inPath);
  std::vector<std::string> problems = CheckDescriptionFile(file, keyText);
  if (!publicKeyPath.empty()) {
    for (std::string& problem : VerifyProblems(file, keyText, publicKeyPath)) problems.push_back(problem);
  }
  for (const std::string& problem : problems) std::cout << inPath << ": " << problem << "\n";
  if (!problems.empty()) return 1;
  std::cout << inPath << ": OK\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::cerr << ToolUsageText();
    return 2;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::cout << ToolHelpText();
    return 0;
  }
  const std::string& command = args[0];
  if (command == "keygen" && args.size() == 2) return KeyGen(args[1]);
  if (command == "signkey" && args.size() == 2) return SignKey(args[1]);
  if (command == "hash" && args.size() >= 2) return Hash({args.begin() + 1, args.end()});
  if (command == "pack" && args.size() == 4) return Pack(args[1], args[2], args[3], "");
  if (command == "pack" && args.size() == 6 && args[4] == "--sign") return Pack(args[1], args[2], args[3], args[5]);
  if (command == "unpack" && args.size() == 3) return Unpack(args[1], args[2]);
  if (command == "check" && args.size() == 3) return Check(args[1], args[2], "");
  if (command == "check" && args.size() == 5 && args[3] == "--verify") return Check(args[1], args[2], args[4]);
  if (command == "audit") return RunAuditCommand(std::vector<std::string>(args.begin() + 1, args.end()));
  std::cerr << ToolUsageText();
  return 2;
}
