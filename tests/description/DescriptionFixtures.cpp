#include "tests/description/DescriptionFixtures.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>

#include "description/DescriptionTexts.h"
#include "description/EmbeddedKey.h"
#include "tools/EifKeys.h"
#include "tools/EifPack.h"

const CryptoPP::RSA::PublicKey& EmbeddedPublicKey() {
  static const CryptoPP::RSA::PublicKey key = [] {
    CryptoPP::RSA::PublicKey loaded;
    std::string error;
    if (!LoadEncryptionKey(kEmbeddedPrivateKey, loaded, error)) ADD_FAILURE() << error;
    return loaded;
  }();
  return key;
}

std::string PackWithEmbeddedKey(const std::string& plain) {
  std::string file;
  std::string error;
  EXPECT_TRUE(EncryptDescription(plain, EmbeddedPublicKey(), file, error)) << error;
  return file;
}

std::string PackPiecesWithEmbeddedKey(const std::vector<std::string>& pieces) {
  std::string file;
  std::string error;
  EXPECT_TRUE(EncryptPieces(pieces, EmbeddedPublicKey(), file, error)) << error;
  return file;
}

ScratchFolder::ScratchFolder() {
  static std::atomic<int> counter{0};
  const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
  path_ = std::filesystem::temp_directory_path() /
          ("description-test-" + std::to_string(tick) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::wstring ScratchFolder::Write(const std::string& name, const std::string& bytes) const {
  const std::filesystem::path file = path_ / name;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  EXPECT_TRUE(out.good()) << "cannot write " << file.string();
  return file.wstring();
}

DescriptionPlatform RecordingPlatform(std::vector<ShownMessage>& shown) {
  DescriptionPlatform platform;
  platform.programFilesFolder = [] { return std::wstring(L"C:\\Program Files"); };
  platform.tempFolder = [] { return std::wstring(L"C:\\Users\\u\\Temp"); };
  platform.desktopFolder = [] { return std::wstring(L"C:\\Users\\u\\Desktop"); };
  platform.startMenuFolder = [] { return std::wstring(L"C:\\Users\\u\\Start Menu\\Programs"); };
  platform.applicationFolder = [] { return std::wstring(L"c:\\apps\\demo\\"); };
  // The box the program shows for a missing section.
  platform.missingSection = [&shown](const std::wstring& name) {
    shown.push_back({MissingSectionMessage(name), kIniParserCaption});
  };
  return platform;
}
