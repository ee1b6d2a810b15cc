#include "tools/pack/FileHashText.h"

#include <filesystem>
#include <fstream>

#include "description/FileHashLine.h"
#include "description/FileHashes.h"

std::optional<Sha256Digest> HashFile(const std::string& path) {
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  if (!in) return std::nullopt;
  Sha256 hasher;
  std::vector<char> buffer(1 << 16);
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    if (!hasher.Add(buffer.data(), static_cast<std::size_t>(in.gcount()))) return std::nullopt;
  }
  if (in.bad()) return std::nullopt;
  return hasher.Finish();
}

std::string FileHashesSection(const std::vector<NamedDigest>& files) {
  const std::wstring name = kFileHashesSection;  // ASCII
  std::string section = "[" + std::string(name.begin(), name.end()) + "]\n";
  for (const NamedDigest& file : files) section += FormatFileHashLine(LowerHex(file.digest), file.size, file.name) + "\n";
  return section + "\n";
}
