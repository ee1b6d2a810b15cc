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
#include "tools/ToolFiles.h"
#include "tools/ToolHelp.h"

namespace {

int Fail(const std::string& message) {
  std::cerr << "eiftool: " << message << "\n";
  return 1;
}

int KeyGen(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::u8path(folder), error);
  if (error) return Fail("cannot create folder " + folder + ": " + error.message());
  KeyPairText pair;
  std::string why;
  if (!GenerateKeyPair(kDescriptionKeyBits, pair, why)) return Fail("key generation failed: " + why);
  const std::string privatePath = (std::filesystem::u8path(folder) / "private.hex").u8string();
  const std::string publicPath = (std::filesystem::u8path(folder) / "public.der").u8string();
  if (!WriteFileBytes(privatePath, pair.privateHex)) return Fail("cannot write " + privatePath);
  if (!WriteFileBytes(publicPath, pair.publicDer)) return Fail("cannot write " + publicPath);
  std::cout << "wrote " << privatePath << " (" << pair.privateHex.size() / 2 << " bytes of PKCS #8 DER as hex) and "
            << publicPath << " (" << pair.publicDer.size() << " bytes)\n";
  return 0;
}

int Pack(const std::string& keyPath, const std::string& plainPath, const std::string& outPath) {
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
  const std::string padded = PaddedForDefaultHosts(plain, key, added);
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

int Check(const std::string& keyPath, const std::string& inPath) {
  std::string keyText;
  if (!ReadPrivateKey(keyPath, keyText)) return 1;
  std::string file;
  if (!ReadFileBytes(inPath, file)) return Fail("cannot read " + inPath);
  const std::vector<std::string> problems = CheckDescriptionFile(file, keyText);
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
  if (command == "pack" && args.size() == 4) return Pack(args[1], args[2], args[3]);
  if (command == "unpack" && args.size() == 3) return Unpack(args[1], args[2]);
  if (command == "check" && args.size() == 3) return Check(args[1], args[2]);
  if (command == "audit") return RunAuditCommand(std::vector<std::string>(args.begin() + 1, args.end()));
  std::cerr << ToolUsageText();
  return 2;
}
