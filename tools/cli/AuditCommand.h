#pragma once
// `eiftool audit PRIVATE-KEY-HEX-FILE IN.eif [options]`: the arguments after "audit".
// Exit status 0 when a user would get through, 1 when not or on an error, 2 on bad usage.
#include <string>
#include <vector>

int RunAuditCommand(const std::vector<std::string>& args);
