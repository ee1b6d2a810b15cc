#include "tools/AuditCommand.h"

#include <ctime>
#include <iostream>

#include "description/AnsiWidening.h"
#include "description/DecryptDescription.h"
#include "description/LoadDescription.h"
#include "tools/DefaultHosts.h"
#include "tools/AuditReport.h"
#include "tools/ExpiryAudit.h"
#include "tools/EifKeys.h"
#include "tools/ToolFiles.h"
#include "tools/ToolHelp.h"
#include "tools/ToolText.h"

namespace {

// What this build's Setup.exe requests, unless told otherwise.
#ifdef SETUP_URL_SCHEME_HTTPS
const wchar_t kBuildScheme[] = L"https";
#else
const wchar_t kBuildScheme[] = L"http";
#endif

struct AuditArguments {
  std::string keyPath;
  std::string inPath;
  AuditOptions options;
  bool json = false;
  AuditHttpSettings http;
};

int Usage() {
  std::cerr << ToolUsageText();
  return 2;
}

int Fail(const std::string& message) {
  std::cerr << "eiftool: " << message << "\n";
  return 1;
}

// Command-line text is taken byte for byte, as the description's own text is read here.
std::wstring Wide(const std::string& text) { return WidenAnsi(nullptr, text); }

bool ParseScheme(const std::string& text, std::wstring& scheme) {
  if (text != "http" && text != "https") return false;
  scheme = Wide(text);
  return true;
}

bool ParseArguments(const std::vector<std::string>& args, AuditArguments& parsed) {
  std::vector<std::string> positional;
  parsed.options.scheme = kBuildScheme;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--json") {
      parsed.json = true;
    } else if (arg == "--default-host" && hasValue) {
      parsed.options.defaultHosts.push_back(Wide(args[++i]));
    } else if (arg == "--application" && hasValue) {
      parsed.options.application = Wide(args[++i]);
    } else if (arg == "--timeout" && hasValue) {
      if (!ParseWholeNumber(args[++i], 1, 3600, parsed.http.timeoutSeconds)) return false;
    } else if (arg == "--scheme" && hasValue) {
      if (!ParseScheme(args[++i], parsed.options.scheme)) return false;
    } else if (arg == "--ca" && hasValue) {
      parsed.http.caFile = args[++i];
    } else if (arg.compare(0, 2, "--") == 0) {
      return false;
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != 2) return false;
  parsed.keyPath = positional[0];
  parsed.inPath = positional[1];
  // Without hosts of its own the audit asks the ones this build's Setup.exe would ask.
  if (parsed.options.defaultHosts.empty()) {
    parsed.options.defaultHosts = {SETUP_DEFAULT_HOST_1, SETUP_DEFAULT_HOST_2};
  }
  return true;
}

}  // namespace

int RunAuditCommand(const std::vector<std::string>& args) {
  AuditArguments parsed;
  if (!ParseArguments(args, parsed)) return Usage();
  if (!parsed.http.caFile.empty() && !AuditHttpTakesCaFile()) {
    return Fail("--ca: this build asks through WinINet, which trusts what Windows trusts; use the native eiftool");
  }
  std::string keyHex;
  std::string why;
  if (!ReadPrivateKeyFile(parsed.keyPath, keyHex, why)) return Fail(why);
  std::string file;
  if (!ReadFileBytes(parsed.inPath, file)) return Fail("cannot read " + parsed.inPath);
  const DecryptedDescription plain = DecryptDescriptionBytes(file, keyHex.c_str(), nullptr);
  const LoadedDescription loaded = LoadPlainDescription(plain.HasText() ? plain.text.data() : "", {});
  if (!plain.HasText() || !plain.complete || !loaded.Accepted()) {
    return Fail(parsed.inPath + ": Setup.exe would refuse this description; `eiftool check` says why");
  }
  parsed.options.givenDescription = file;
  const std::unique_ptr<AuditHttp> http = MakeAuditHttp(parsed.http);
  const AuditReport report = AuditDescription(loaded.Description(), parsed.options, *http, [](const std::string& line) {
    std::cerr << "audit: " << line << std::endl;
  });
  for (const std::string& warning :
       DefaultHostExpiryWarnings(report, keyHex, static_cast<std::int64_t>(std::time(nullptr)))) {
    std::cerr << "audit: warning: " << warning << std::endl;
  }
  std::cout << (parsed.json ? AuditJson(report) : AuditTable(report));
  return report.userGetsThrough ? 0 : 1;
}
