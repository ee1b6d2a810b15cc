#include "tests/download/ServerRig.h"

#include <windows.h>

#include <sstream>

#include "fs/FileOperations.h"
#include "fs/PathText.h"
#include "tests/support/TempFolder.h"

namespace rig {
namespace {
std::wstring Variable(const wchar_t* name) {
  wchar_t buffer[4096] = {};
  const DWORD n = ::GetEnvironmentVariableW(name, buffer, 4096);
  return n > 0 && n < 4096 ? std::wstring(buffer, n) : std::wstring();
}

int BasePort() { return _wtoi(Variable(L"SETUP_TEST_BASE_PORT").c_str()); }

// Wine shows the Unix root as drive Z:.
std::wstring WindowsPath(const std::wstring& unixPath) {
  std::wstring path = L"Z:" + unixPath;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

constexpr int kTlsOffset = 10;

std::wstring HostName(Server server) {
  if (server > kTlsOffset && server <= kSite4 + kTlsOffset) {
    return HostName(static_cast<Server>(server - kTlsOffset)) + L"-tls";
  }
  switch (server) {
    case kHost1: return L"host1";
    case kHost2: return L"host2";
    case kSite1: return L"site1";
    case kSite2: return L"site2";
    case kSite3: return L"site3";
    case kSite4: return L"site4";
    case kFault: return L"fault";
    case kWrongName: return L"wrong-name";
    case kExpired: return L"expired";
    case kUnknownCa: return L"unknown-ca";
    default: return L"none";
  }
}
// The nginx host whose document root `server` serves.
Server RootOwner(Server server) {
  if (server >= kWrongName) return kSite1;
  return server > kTlsOffset ? static_cast<Server>(server - kTlsOffset) : server;
}
}  // namespace

Server Tls(Server server) { return static_cast<Server>(server + kTlsOffset); }

std::wstring CaPath() { return StatePath(L"tls/ca.der"); }

bool Available() { return !Variable(L"SETUP_TEST_SERVERS").empty() && BasePort() > 0; }

std::wstring Host(Server server) {
  return L"127.0.0.1:" + std::to_wstring(BasePort() + static_cast<int>(server));
}

std::wstring Url(Server server, const std::wstring& path) { return L"http://" + Host(server) + path; }

std::wstring StatePath(const std::wstring& relative) {
  return WindowsPath(Variable(L"SETUP_TEST_SERVERS") + L"/" + relative);
}

std::wstring DocumentPath(Server server, const std::wstring& path) {
  return StatePath(L"www/" + HostName(RootOwner(server)) + path);
}

void Publish(Server server, const std::wstring& path, const std::string& bytes) {
  const std::wstring file = DocumentPath(server, path);
  std::wstring folder, name;
  SplitPath(file, folder, name);
  CreateFolderPath(WithoutTrailingBackslash(folder));
  WriteFileBytes(file, bytes);
}

std::string Log(Server server) {
  return ReadFileBytes(StatePath(L"logs/" + HostName(server) + L".access.log"));
}

namespace {
int CountNow(Server server, const std::string& path) {
  std::istringstream lines(Log(server));
  std::string line;
  int count = 0;
  const std::string exact = "GET " + path + " ";
  const std::string prefix = "GET " + path;
  while (std::getline(lines, line)) {
    if (server == kFault ? line.rfind(prefix, 0) == 0 : line.rfind(exact, 0) == 0) ++count;
  }
  return count;
}
}  // namespace

int CountRequests(Server server, const std::string& path, int expected) {
  int count = CountNow(server, path);
  for (int waited = 0; count < expected && waited < 3000; waited += 20) {
    ::Sleep(20);  // real time: the test's fake clock does not move the server
    count = CountNow(server, path);
  }
  return count;
}

namespace {
std::vector<std::string> FaultAnswersNow(const std::string& path) {
  std::istringstream lines(Log(kFault));
  std::string line;
  std::vector<std::string> answers;
  const std::string prefix = "SENT " + path;
  while (std::getline(lines, line)) {
    if (line.rfind(prefix, 0) != 0) continue;
    const size_t fields = line.find(' ', prefix.size());
    answers.push_back(fields == std::string::npos ? std::string() : line.substr(fields + 1));
  }
  return answers;
}
}  // namespace

std::vector<std::string> FaultAnswers(const std::string& path, size_t expected) {
  std::vector<std::string> answers = FaultAnswersNow(path);
  for (int waited = 0; answers.size() < expected && waited < 3000; waited += 20) {
    ::Sleep(20);
    answers = FaultAnswersNow(path);
  }
  return answers;
}

std::string Pattern(size_t size, int seed) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + (i + seed) % 26);
  return bytes;
}

}  // namespace rig
