#include "description/WholeFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <new>
#include <stdexcept>
#include <system_error>

std::optional<std::string> ReadWholeFile(const std::wstring& path, std::size_t limit) {
  const std::filesystem::path file(path);
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  if (error || size == 0) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string contents;
  try {
    contents.resize(static_cast<std::size_t>(std::min<std::uintmax_t>(size, limit)));
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  } catch (const std::length_error&) {
    return std::nullopt;
  }
  in.read(&contents[0], static_cast<std::streamsize>(contents.size()));
  if (in.gcount() != static_cast<std::streamsize>(contents.size())) return std::nullopt;
  return contents;
}
