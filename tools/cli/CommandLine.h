#pragma once
// The command line of eiftool: its exit statuses, its failure line, and the arguments of the
// commands that take options, read once here.
#include <string>
#include <variant>
#include <vector>

#include "tools/audit/AuditHttp.h"
#include "tools/audit/AuditResults.h"
#include "tools/pack/PackDescription.h"

// "eiftool: MESSAGE" on standard error; 1, the exit status of a command that failed.
int Fail(const std::string& message);
// The usage text on standard error; 2, the exit status of a command line not understood.
int Usage();

// A decimal whole number from `lowest` to `highest` and nothing else; `value` is left alone
// otherwise.
bool ParseWholeNumber(const std::string& text, int lowest, int highest, int& value);

// A command's arguments, or the exit status of a command line refused (its line already printed).
template <typename Arguments>
using CommandLine = std::variant<Arguments, int>;

struct PackArguments {
  std::string keyPath;
  std::string plainPath;
  std::string outPath;
  PackSigning sign;
};

struct CheckArguments {
  std::string keyPath;
  std::string inPath;
  std::vector<std::string> publicKeyPaths;  // --verify, in order; none: no signature checks
};

struct AuditArguments {
  std::string keyPath;
  std::string inPath;
  AuditOptions options;  // without --default-host, the hosts of this build's Setup.exe
  bool json = false;
  AuditHttpSettings http;
};

// The arguments after "pack", "check" and "audit".
CommandLine<PackArguments> ParsePackArguments(const std::vector<std::string>& args);
CommandLine<CheckArguments> ParseCheckArguments(const std::vector<std::string>& args);
CommandLine<AuditArguments> ParseAuditArguments(const std::vector<std::string>& args);
