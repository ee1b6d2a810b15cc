#include "tools/pack/ToolFiles.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

bool ReadFileBytes(const std::string& path, std::string& contents) {
  // A folder opens as a stream on Linux, and its first read throws: refuse it before.
  std::error_code error;
  if (!std::filesystem::is_regular_file(std::filesystem::u8path(path), error)) return false;
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  if (!in) return false;
  contents.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool WriteFileBytes(const std::string& path, const std::string& contents) {
  std::ofstream out(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  out.close();
  return !out.fail();
}
