#pragma once
// The audit's findings for a person (a table) and for scripts (JSON).
#include <string>

#include "tools/audit/SiteAudit.h"

std::string AuditTable(const AuditReport& report);
std::string AuditJson(const AuditReport& report);
