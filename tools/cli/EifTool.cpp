// eiftool: the publisher's side of setup descriptions (keys, encryption, decryption, checks).
#include <iostream>
#include <string>
#include <vector>

#include "tools/cli/AuditCommand.h"
#include "tools/cli/CommandLine.h"
#include "tools/cli/ToolCommands.h"
#include "tools/cli/ToolHelp.h"

namespace {

template <typename Arguments>
int RunParsed(const CommandLine<Arguments>& parsed, int (*run)(const Arguments&)) {
  const Arguments* arguments = std::get_if<Arguments>(&parsed);
  return arguments ? run(*arguments) : std::get<int>(parsed);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage();
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::cout << ToolHelpText();
    return 0;
  }
  const std::string& command = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "keygen" && rest.size() == 1) return KeyGen(rest[0]);
  if (command == "signkey" && rest.size() == 1) return SignKey(rest[0]);
  if (command == "hash" && !rest.empty()) return Hash(rest);
  if (command == "pack") return RunParsed(ParsePackArguments(rest), Pack);
  if (command == "unpack" && rest.size() == 2) return Unpack(rest[0], rest[1]);
  if (command == "check") return RunParsed(ParseCheckArguments(rest), Check);
  if (command == "audit") return RunParsed(ParseAuditArguments(rest), RunAuditCommand);
  return Usage();
}
