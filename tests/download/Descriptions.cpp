#include "tests/download/Descriptions.h"

#include <gtest/gtest.h>

#include "tests/support/TempFolder.h"
#include "tools/EifKeys.h"
#include "tools/EifPack.h"

namespace {
std::wstring KeyFile() {
  std::wstring path = L"Z:" + std::wstring(SETUP_TEST_KEY_FILE_W);
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}
}  // namespace

std::string DescriptionText(const std::vector<std::wstring>& sites,
                            const std::vector<std::string>& files, const std::string& extra) {
  std::string text = "// " + std::string(700, '=') + "\r\n[Download Sites]\r\n";
  for (const std::wstring& site : sites) text += Narrow(site) + "\r\n";
  text += "\r\n[Files to download]\r\n";
  for (const std::string& file : files) text += file + "\r\n";
  text += "\r\n" + extra + "\r\n[End]\r\nEnd\r\n";
  return text;
}

std::string Encrypted(const std::string& plain) {
  CryptoPP::RSA::PublicKey key;
  std::string error;
  if (!LoadEncryptionKey(ReadFileBytes(KeyFile()), key, error)) {
    ADD_FAILURE() << "the build's key does not load: " << error;
    return std::string();
  }
  std::string file;
  if (!EncryptDescription(plain, key, file, error)) ADD_FAILURE() << error;
  return file;
}
