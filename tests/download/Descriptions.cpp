#include "tests/download/Descriptions.h"

#include <gtest/gtest.h>

#include "crypto/Sha256.h"
#include "tests/support/BuildKey.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestFiles.h"
#include "tools/pack/EifSigning.h"

std::string DescriptionText(const std::vector<std::wstring>& sites,
                            const std::vector<std::string>& files, const std::string& extra) {
  std::string text = "// " + std::string(700, '=') + "\r\n[Download Sites]\r\n";
  for (const std::wstring& site : sites) text += Narrow(site) + "\r\n";
  text += "\r\n[Files to download]\r\n";
  for (const std::string& file : files) text += file + "\r\n";
  text += "\r\n" + extra + "\r\n[End]\r\nEnd\r\n";
  return text;
}

std::string Encrypted(const std::string& plain) { return PackWithEmbeddedKey(plain); }

std::string Signed(const std::string& plain, bool otherKey) {
  const std::string name = otherKey ? "/other-private.der" : "/signing-private.der";
  const std::string key = ReadTestFile(std::string(KEYS_FOLDER) + name);
  std::string signedText;
  std::string error;
  EXPECT_TRUE(AppendSignature(plain, key, signedText, error)) << error;
  return signedText;
}

std::string Sha256Hex(const std::string& bytes) {
  const std::optional<Sha256Digest> digest = Sha256Of(bytes);
  EXPECT_TRUE(digest.has_value());
  return digest ? LowerHex(*digest) : std::string();
}
