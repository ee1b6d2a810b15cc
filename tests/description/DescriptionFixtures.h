#pragma once
// Shared by the description tests: encrypted fixtures made with the publisher's code and the
// key the build embeds, a scratch folder, and a platform that records messages.
#include <cryptopp/rsa.h>

#include <filesystem>
#include <string>
#include <vector>

#include "description/DescriptionPlatform.h"

// The public half of the embedded key.
const CryptoPP::RSA::PublicKey& EmbeddedPublicKey();
// `plain` packed as `eiftool pack` does, with the embedded key.
std::string PackWithEmbeddedKey(const std::string& plain);
// One block per piece, with the embedded key.
std::string PackPiecesWithEmbeddedKey(const std::vector<std::string>& pieces);

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  // Writes `bytes` to a file of that name in the folder and returns its path.
  std::wstring Write(const std::string& name, const std::string& bytes) const;

 private:
  std::filesystem::path path_;
};

struct ShownMessage {
  std::wstring text;
  std::wstring caption;
};

// Fixed folders for the built-in placeholders; every message goes to `shown`.
DescriptionPlatform RecordingPlatform(std::vector<ShownMessage>& shown);
