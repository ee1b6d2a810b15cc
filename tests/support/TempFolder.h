#pragma once
// A fresh folder under the system's temporary folder for one test, removed with everything
// in it (subfolders and read-only entries too) when the test ends. Portable: the same helper
// serves the tests that run natively and under Wine.
#include <string>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& path() const { return path_; }  // no trailing separator
  std::wstring operator/(const std::wstring& name) const;
  // Writes `bytes` to a file of that name in the folder and returns its path; fails the
  // calling test when the file cannot be written.
  std::wstring Write(const std::string& name, const std::string& bytes) const;

 private:
  std::wstring path_;
};

// Small file helpers for tests.
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::string ReadFileBytes(const std::wstring& path);  // empty when missing
bool PathExists(const std::wstring& path);
std::string Narrow(const std::wstring& text);  // ASCII only, for messages
