#include "tools/cli/ToolCommands.h"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "description/DecryptDescription.h"
#include "description/FileHashLine.h"
#include "tools/check/DescriptionCheck.h"
#include "tools/check/VerifyProblems.h"
#include "tools/pack/EifKeys.h"
#include "tools/pack/EifSigning.h"
#include "tools/pack/FileHashText.h"
#include "tools/pack/ToolFiles.h"

namespace {

std::int64_t Now() { return static_cast<std::int64_t>(std::time(nullptr)); }

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

// The private key file's hex text, or false with a message printed.
bool ReadPrivateKey(const std::string& keyPath, std::string& keyText) {
  std::string why;
  if (!ReadPrivateKeyFile(keyPath, keyText, why)) return Fail(why) == 0;
  return true;
}

}  // namespace

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
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(std::filesystem::u8path(path), error);
    if (!digest || error) return Fail("cannot read " + path);
    if (size > kLargestSignedSize) return Fail(path + " is larger than the 4 GB a Content-Length can announce");
    files.push_back({std::filesystem::u8path(path).filename().u8string(), *digest, size});
  }
  std::cout << FileHashesSection(files);
  return 0;
}

int Pack(const PackArguments& args) {
  std::string keyText;
  std::string plain;
  if (!ReadFileBytes(args.keyPath, keyText)) return Fail("cannot read key " + args.keyPath);
  if (!ReadFileBytes(args.plainPath, plain)) return Fail("cannot read " + args.plainPath);
  const std::size_t nul = plain.find('\0');
  if (nul != std::string::npos) {
    return Fail(args.plainPath + " holds a 0x00 byte at offset " + std::to_string(nul) +
                "; the bootstrapper would stop reading there");
  }
  CryptoPP::RSA::PublicKey key;
  std::string why;
  if (!LoadEncryptionKey(keyText, key, why)) return Fail(args.keyPath + ": " + why);
  const PackedDescription packed = PackDescription(plain, key, args.sign, Now());
  for (const std::string& section : packed.kept) {
    std::cerr << "eiftool: the text already has " << section << "; it is signed as it stands\n";
  }
  if (packed.padding > 0) {
    std::cerr << "eiftool: " << args.outPath << " would be " << packed.unpaddedSize
              << " bytes, too short for a default host; appended a comment line of " << packed.padding
              << " bytes to the text\n";
  }
  if (!packed.problem.empty()) return Fail(packed.problem);
  if (!WriteFileBytes(args.outPath, packed.file)) return Fail("cannot write " + args.outPath);
  return 0;
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

int Check(const CheckArguments& args) {
  std::string keyText;
  if (!ReadPrivateKey(args.keyPath, keyText)) return 1;
  std::string file;
  if (!ReadFileBytes(args.inPath, file)) return Fail("cannot read " + args.inPath);
  std::vector<std::string> problems = CheckDescriptionFile(file, keyText);
  VerifyReport verified;
  if (!args.publicKeyPaths.empty()) verified = VerifyProblems(file, keyText, args.publicKeyPaths, Now());
  problems.insert(problems.end(), verified.problems.begin(), verified.problems.end());
  for (const std::string& note : verified.notes) std::cout << args.inPath << ": " << note << "\n";
  for (const std::string& problem : problems) std::cout << args.inPath << ": " << problem << "\n";
  if (!problems.empty()) return 1;
  std::cout << args.inPath << ": OK\n";
  return 0;
}
