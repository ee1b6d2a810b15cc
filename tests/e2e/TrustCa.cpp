// trust_ca add|remove FILE.der: trusts the rig's CA in the project's Wine prefix for the HTTPS
// run of the end-to-end test, and takes it out again. Exit status 0 on success.
#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>

#include "tests/support/RootStore.h"

namespace {
std::string ReadAll(const wchar_t* path) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(_wfopen(path, L"rb"), &std::fclose);
  std::string bytes;
  if (!file) return bytes;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) bytes.append(buffer, n);
  return bytes;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  const std::string der = ReadAll(argv[2]);
  if (der.empty()) return 1;
  if (std::wcscmp(argv[1], L"add") == 0) return TrustRootCertificate(der) ? 0 : 1;
  if (std::wcscmp(argv[1], L"remove") == 0) return DistrustRootCertificate(der) ? 0 : 1;
  return 2;
}
