#pragma once
// `eiftool audit PRIVATE-KEY-HEX-FILE IN.eif [options]`.
// Exit status 0 when a user would get through, 1 when not or on an error.
#include "tools/cli/CommandLine.h"

int RunAuditCommand(const AuditArguments& args);
