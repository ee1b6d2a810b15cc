#include "tools/cli/CommandLine.h"

#include <cstdlib>
#include <iostream>

#include "description/AnsiWidening.h"
#include "description/DescriptionSyntax.h"
#include "tools/cli/DefaultHosts.h"
#include "tools/cli/ToolHelp.h"

namespace {

// What this build's Setup.exe requests, unless told otherwise.
#ifdef SETUP_URL_SCHEME_HTTPS
const wchar_t kBuildScheme[] = L"https";
#else
const wchar_t kBuildScheme[] = L"http";
#endif

bool IsOption(const std::string& arg) { return arg.compare(0, 2, "--") == 0; }

// Command-line text is taken byte for byte, as the description's own text is read here.
std::wstring Wide(const std::string& text) { return WidenAnsi(nullptr, text); }

bool ParseScheme(const std::string& text, std::wstring& scheme) {
  if (text != "http" && text != "https") return false;
  scheme = Wide(text);
  return true;
}

// The audit's options into `parsed`; false when one is not understood.
bool ReadAuditArguments(const std::vector<std::string>& args, AuditArguments& parsed) {
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
    } else if (IsOption(arg)) {
      return false;
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != 2) return false;
  parsed.keyPath = positional[0];
  parsed.inPath = positional[1];
  if (parsed.options.defaultHosts.empty()) {
    parsed.options.defaultHosts = {SETUP_DEFAULT_HOST_1, SETUP_DEFAULT_HOST_2};
  }
  return true;
}

}  // namespace

int Fail(const std::string& message) {
  std::cerr << "eiftool: " << message << "\n";
  return 1;
}

int Usage() {
  std::cerr << ToolUsageText();
  return 2;
}

bool ParseWholeNumber(const std::string& text, int lowest, int highest, int& value) {
  char* end = nullptr;
  const long parsed = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str() || *end != '\0' || parsed < lowest || parsed > highest) return false;
  value = static_cast<int>(parsed);
  return true;
}

CommandLine<PackArguments> ParsePackArguments(const std::vector<std::string>& args) {
  std::vector<std::string> positional;
  PackSigning sign;
  bool anyApplication = false;
  bool signingOption = false;  // an option that only --sign takes
  for (std::size_t i = 0; i < args.size(); ++i) {
    const bool hasValue = i + 1 < args.size();
    if (args[i] == "--sign" && hasValue) {
      sign.keyPath = args[++i];
    } else if (args[i] == "--valid-days" && hasValue) {
      if (!ParseWholeNumber(args[++i], 1, 3650, sign.validDays)) {
        return Fail("--valid-days takes a number of days from 1 to 3650");
      }
      signingOption = true;
    } else if (args[i] == "--application" && hasValue) {
      sign.application = args[++i];
      signingOption = true;
    } else if (args[i] == "--any-application") {
      anyApplication = signingOption = true;
    } else if (IsOption(args[i])) {
      return Usage();
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() != 3 || (signingOption && sign.keyPath.empty())) return Usage();
  if (!sign.keyPath.empty() && sign.application.has_value() == anyApplication) {
    return Fail("pack --sign needs --application NAME (the name in Setup_NAME_*.exe), or --any-application "
                "for a description that several executables share");
  }
  if (sign.application && TrimDescriptionSpace(Wide(*sign.application)).empty()) {
    return Fail("--application needs a name");
  }
  return PackArguments{positional[0], positional[1], positional[2], sign};
}

CommandLine<CheckArguments> ParseCheckArguments(const std::vector<std::string>& args) {
  CheckArguments parsed;
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--verify" && i + 1 < args.size()) {
      parsed.publicKeyPaths.push_back(args[++i]);
    } else if (IsOption(args[i])) {
      return Usage();
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() != 2) return Usage();
  parsed.keyPath = positional[0];
  parsed.inPath = positional[1];
  return parsed;
}

CommandLine<AuditArguments> ParseAuditArguments(const std::vector<std::string>& args) {
  AuditArguments parsed;
  if (!ReadAuditArguments(args, parsed)) return Usage();
  return parsed;
}
