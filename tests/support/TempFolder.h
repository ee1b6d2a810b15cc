#pragma once
// A fresh folder under the system's temporary folder for one test, removed with everything
// in it (subfolders too) when the test ends.
#include <string>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& path() const { return path_; }  // no trailing backslash
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

// Small file helpers for tests.
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::string ReadFileBytes(const std::wstring& path);  // empty when missing
bool PathExists(const std::wstring& path);
std::string Narrow(const std::wstring& text);  // ASCII only, for messages
