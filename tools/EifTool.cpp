// eiftool: the publisher's side of setup descriptions (keys, encryption, decryption, checks).
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "description/AnsiWidening.h"
#include "description/DecryptDescription.h"
#include "description/DescriptionSyntax.h"
#include "description/FileHashLine.h"
#include "tools/AuditCommand.h"
#include "tools/DescriptionCheck.h"
#include "tools/EifKeys.h"
#include "tools/EifPack.h"
#include "tools/EifSigning.h"
#include "tools/FileHashText.h"
#include "tools/SignedSections.h"
#include "tools/ToolFiles.h"
#include "tools/ToolHelp.h"
#include "tools/ToolText.h"

namespace {

int Fail(const std::string& message) {
  std::cerr << "eiftool: " << message << "\n";
  return 1;
}

int Usage() {
  std::cerr << ToolUsageText();
  return 2;
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
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(std::filesystem::u8path(path), error);
    if (!digest || error) return Fail("cannot read " + path);
    if (size > kLargestSignedSize) return Fail(path + " is larger than the 4 GB a Content-Length can announce");
    files.push_back({std::filesystem::u8path(path).filename().u8string(), *digest, size});
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

// What `pack --sign` is told besides the key.
struct SignOptions {
  std::string keyPath;  // empty: not signed
  int validDays = kDefaultValidDays;
  std::optional<std::string> application;  // nothing: --any-application
};

// The text as it is signed: [Valid Until] and [Application] appended unless the text has them.
std::string WithSectionsToSign(const std::string& plain, const SignOptions& sign) {
  std::vector<std::string> kept;
  const std::int64_t until = static_cast<std::int64_t>(std::time(nullptr)) + std::int64_t{sign.validDays} * 86400;
  const std::string text = WithSignedSections(plain, until, sign.application, kept);
  for (const std::string& section : kept) {
    std::cerr << "eiftool: the text already has " << section << "; it is signed as it stands\n";
  }
  return text;
}

int Pack(const std::string& keyPath, const std::string& plainPath, const std::string& outPath,
         const SignOptions& sign) {
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
  if (!sign.keyPath.empty()) plain = WithSectionsToSign(plain, sign);
  std::size_t added = 0;
  std::string padded = PaddedForDefaultHosts(plain, key, added);
  if (!sign.keyPath.empty()) {
    // A signature section alone takes a text past the default hosts' floor, so a signed text
    // needs no padding; were it ever needed, it goes first: the signature must end the text.
    std::string signedPlain = plain;
    if (!SignPlainText(sign.keyPath, signedPlain)) return 1;
    std::size_t signedNeeds = 0;
    PaddedForDefaultHosts(signedPlain, key, signedNeeds);
    if (signedNeeds == 0) {
      padded = signedPlain;
      added = 0;
    } else if (!SignPlainText(sign.keyPath, padded)) {
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

int PackCommand(const std::vector<std::string>& args) {
  std::vector<std::string> positional;
  SignOptions sign;
  bool anyApplication = false;
  bool signingOption = false;  // an option that only --sign takes
  for (std::size_t i = 1; i < args.size(); ++i) {
    const bool hasValue = i + 1 < args.size();
    if (args[i] == "--sign" && hasValue) {
      sign.keyPath = args[++i];
    } else if (args[i] == "--valid-days" && hasValue) {
      if (!ParseWholeNumber(args[++i], 1, 3650, sign.validDays)) {
        return Fail("--valid-days takes a number of days from 1 to 3650");
      }
      signingOption = true;
    } else if (args[i] == "--application" && hasValue) {
      sign.application = args[++i];
      signingOption = true;
    } else if (args[i] == "--any-application") {
      anyApplication = signingOption = true;
    } else if (args[i].compare(0, 2, "--") == 0) {
      return Usage();
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() != 3 || (signingOption && sign.keyPath.empty())) return Usage();
  if (!sign.keyPath.empty() && sign.application.has_value() == anyApplication) {
    return Fail("pack --sign needs --application NAME (the name in Setup_NAME_*.exe), or --any-application "
                "for a description that several executables share");
  }
  if (sign.application && TrimDescriptionSpace(WidenAnsi(nullptr, *sign.application)).empty()) {
    return Fail("--application needs a name");
  }
  return Pack(positional[0], positional[1], positional[2], sign);
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

// The first of `publicKeyPaths` whose key verifies the signature of `text`, or what is wrong:
// with one key its problem, with several each key's.
std::vector<std::string> MatchSigningKey(const std::string& text, const std::vector<std::string>& publicKeyPaths,
                                         std::string& matched) {
  std::vector<std::string> problems;
  for (const std::string& path : publicKeyPaths) {
    std::string publicDer;
    if (!ReadFileBytes(path, publicDer)) return {"cannot read signing public key " + path};
    const std::string problem = SignatureProblem(text, publicDer);
    if (problem.empty()) {
      matched = path;
      return {};
    }
    problems.push_back(publicKeyPaths.size() == 1 ? problem : path + ": " + problem);
  }
  if (problems.size() > 1) problems.insert(problems.begin(), "no --verify key verifies the signature");
  return problems;
}

// What a build with the keys at `publicKeyPaths` refuses in the decrypted `file`: a missing or bad
// signature, listed files without a hash line or size, malformed hash lines, an expiry passed;
// `notes` gets the key that signed it, the time left and the application it serves.
std::vector<std::string> VerifyProblems(const std::string& file, const std::string& keyText,
                                        const std::vector<std::string>& publicKeyPaths,
                                        std::vector<std::string>& notes) {
  const DecryptedDescription plain = DecryptDescriptionBytes(file, keyText.c_str(), nullptr);
  if (!plain.HasText()) return {};  // the checks of the file already say why
  const std::string text(plain.text.data(), static_cast<std::size_t>(plain.length));
  std::string matched;
  std::vector<std::string> problems = MatchSigningKey(text, publicKeyPaths, matched);
  if (!matched.empty()) notes.push_back("signed by the key of " + matched);
  const SignedTextReport signedText = CheckSignedText(text, static_cast<std::int64_t>(std::time(nullptr)));
  problems.insert(problems.end(), signedText.problems.begin(), signedText.problems.end());
  notes.insert(notes.end(), signedText.notes.begin(), signedText.notes.end());
  return problems;
}

int Check(const std::string& keyPath, const std::string& inPath, const std::vector<std::string>& publicKeyPaths) {
  std::string keyText;
  if (!ReadPrivateKey(keyPath, keyText)) return 1;
  std::string file;
  if (!ReadFileBytes(inPath, file)) return Fail("cannot read " + inPath);
  std::vector<std::string> problems = CheckDescriptionFile(file, keyText);
  std::vector<std::string> notes;
  if (!publicKeyPaths.empty()) {
    for (std::string& problem : VerifyProblems(file, keyText, publicKeyPaths, notes)) problems.push_back(problem);
  }
  for (const std::string& note : notes) std::cout << inPath << ": " << note << "\n";
  for (const std::string& problem : problems) std::cout << inPath << ": " << problem << "\n";
  if (!problems.empty()) return 1;
  std::cout << inPath << ": OK\n";
  return 0;
}

int CheckCommand(const std::vector<std::string>& args) {
  std::vector<std::string> positional;
  std::vector<std::string> publicKeyPaths;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--verify" && i + 1 < args.size()) {
      publicKeyPaths.push_back(args[++i]);
    } else if (args[i].compare(0, 2, "--") == 0) {
      return Usage();
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() != 2) return Usage();
  return Check(positional[0], positional[1], publicKeyPaths);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage();
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::cout << ToolHelpText();
    return 0;
  }
  const std::string& command = args[0];
  if (command == "keygen" && args.size() == 2) return KeyGen(args[1]);
  if (command == "signkey" && args.size() == 2) return SignKey(args[1]);
  if (command == "hash" && args.size() >= 2) return Hash({args.begin() + 1, args.end()});
  if (command == "pack") return PackCommand(args);
  if (command == "unpack" && args.size() == 3) return Unpack(args[1], args[2]);
  if (command == "check") return CheckCommand(args);
  if (command == "audit") return RunAuditCommand(std::vector<std::string>(args.begin() + 1, args.end()));
  return Usage();
}
