// Test tool: the final setup of the end-to-end runs. Started by Setup.exe in the setup temp
// folder, it reads the User Info File, checks its layout, and writes a report next to the
// executable that started it (outside the temp folder, which is deleted afterwards), with
// whether each folder and file it names is there.
// A file "final-setup-delay.txt" in the folder holds milliseconds to wait before reporting.
#include <windows.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char kUserInfoName[] = "UserInfo.txt";
const char* const kSections[] = {"Initial Setup Pathname", "Setup Temp Folder", "Download Site",
                                 "Start Menu Folder",      "Desktop Folder",    "My Documents Folder",
                                 "Application Name",       "Installed on GM Time"};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string::size_type start = 0, end;
  while ((end = text.find('\n', start)) != std::string::npos) {
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

// Problems with the layout; empty when the file is as the bootstrapper promises.
std::string CheckLayout(const std::string& text, std::string& pathname) {
  std::ostringstream problems;
  if (text.find('\r') != std::string::npos) problems << "carriage return found\n";
  if (text.empty() || text.back() != '\n') problems << "no final line feed\n";
  const std::vector<std::string> lines = Lines(text);
  if (lines.size() != 28) problems << "line count " << lines.size() << "\n";
  if (lines.empty() || lines[0] != "// User specific info.") problems << "bad comment line\n";
  for (std::size_t s = 0; s < 8 && 2 + 3 * s + 2 < lines.size(); ++s) {
    if (lines[2 + 3 * s] != "[" + std::string(kSections[s]) + "]") problems << "bad header " << s << "\n";
    if (!lines[2 + 3 * s + 2].empty()) problems << "no blank line after section " << s << "\n";
  }
  if (lines.size() >= 4) pathname = lines[3];
  if (lines.size() < 28 || lines[26] != "[End]" || lines[27] != "End") problems << "bad end marker\n";
  return problems.str();
}

// Whether each folder and file that the file names is there, read as ANSI text.
std::string NamedPaths(const std::vector<std::string>& lines) {
  std::ostringstream out;
  for (std::size_t s : {0, 1, 3, 4, 5}) {
    const std::size_t line = 3 + 3 * s;
    const bool found = line < lines.size() && ::GetFileAttributesA(lines[line].c_str()) != INVALID_FILE_ATTRIBUTES;
    out << "named\t" << kSections[s] << "\t" << (found ? "found" : "missing") << "\n";
  }
  return out.str();
}

std::string FolderListing() {
  std::ostringstream out;
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA("*", &data);
  if (find == INVALID_HANDLE_VALUE) return std::string();
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) out << "file\t" << data.cFileName << "\t" << data.nFileSizeLow << "\n";
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
  return out.str();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::string info = ReadAll(kUserInfoName);
  std::string pathname;
  const std::string problems = info.empty() ? std::string("no user info file\n") : CheckLayout(info, pathname);

  const std::string delay = ReadAll("final-setup-delay.txt");
  if (!delay.empty()) ::Sleep(static_cast<DWORD>(std::stoul(delay)));

  char folder[MAX_PATH] = {};
  ::GetCurrentDirectoryA(MAX_PATH, folder);
  const std::string::size_type slash = pathname.rfind('\\');
  if (slash == std::string::npos) return 3;
  std::ofstream report(pathname.substr(0, slash + 1) + "final-setup-report.txt", std::ios::binary);
  report << "status\t" << (problems.empty() ? "ok" : "bad") << "\n"
         << problems << NamedPaths(Lines(info)) << "folder\t" << folder << "\n"
         << FolderListing() << "--- user info file\n"
         << info;
  return 0;
}
