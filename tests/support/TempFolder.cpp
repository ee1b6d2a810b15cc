#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {
std::atomic<unsigned> counter{0};

unsigned long ProcessId() {
#ifdef _WIN32
  return ::GetCurrentProcessId();
#else
  return static_cast<unsigned long>(::getpid());
#endif
}

// A read-only entry, which a test may leave behind, would stop the removal on Windows.
void MakeWritable(const fs::path& path) {
#ifdef _WIN32
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
#else
  std::error_code ignored;
  fs::permissions(path, fs::perms::owner_all, fs::perm_options::add | fs::perm_options::nofollow,
                  ignored);
#endif
}

void RemoveTree(const fs::path& folder) {
  std::error_code ignored;
  for (fs::recursive_directory_iterator entry(folder, ignored), end; entry != end;
       entry.increment(ignored)) {
    MakeWritable(entry->path());
  }
  fs::remove_all(folder, ignored);
}
}  // namespace

TempFolder::TempFolder() {
  const fs::path folder = fs::temp_directory_path() / ("setup-test-" + std::to_string(ProcessId()) +
                                                       "-" + std::to_string(counter++));
  RemoveTree(folder);  // left over from an earlier process of the same id
  fs::create_directories(folder);
  path_ = folder.wstring();
}

TempFolder::~TempFolder() { RemoveTree(path_); }

std::wstring TempFolder::operator/(const std::wstring& name) const {
  return (fs::path(path_) / name).wstring();
}

std::wstring TempFolder::Write(const std::string& name, const std::string& bytes) const {
  const std::wstring file = (fs::path(path_) / name).wstring();
  std::ofstream out(fs::path(file), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  EXPECT_TRUE(out.good()) << "cannot write " << name;
  return file;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(fs::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool PathExists(const std::wstring& path) {
#ifdef _WIN32
  // Asked as the product asks, so a trailing backslash reads the same.
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
#else
  std::error_code ignored;
  return fs::exists(fs::symlink_status(fs::path(path), ignored));
#endif
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out.push_back(c < 128 ? static_cast<char>(c) : '?');
  return out;
}
