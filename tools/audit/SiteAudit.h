#pragma once
// `eiftool audit`: asks the publisher's servers what the bootstrapper would ask them, with its
// rules, and says whether a user would get through.
#include "tools/audit/AuditResults.h"

class SetupDescription;

// Asks every default host for the description and every download site for every listed file,
// in list order. `description` must be loaded.
AuditReport AuditDescription(const SetupDescription& description, const AuditOptions& options,
                             AuditHttp& http, const AuditProgress& progress);
