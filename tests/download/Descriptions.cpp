#include "tests/download/Descriptions.h"

#include "tests/support/BuildKey.h"
#include "tests/support/TempFolder.h"

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
