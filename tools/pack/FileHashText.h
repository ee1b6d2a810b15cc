#pragma once
// What `eiftool hash` prints: a ready [File Hashes] section for the files a publisher lists.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "crypto/Sha256.h"

// The SHA-256 of the file at `path`, read once in pieces; nothing when it cannot be read.
std::optional<Sha256Digest> HashFile(const std::string& path);

struct NamedDigest {
  std::string name;  // the target name, as after "->" in "Files to download"
  Sha256Digest digest;
  std::uint64_t size = 0;  // bytes
};

// "[File Hashes]", then one line per file (lower-case hex digits, the size, the name, one space
// apart), then the empty line that ends the list.
std::string FileHashesSection(const std::vector<NamedDigest>& files);
