#pragma once
// The default hosts: which one the bootstrapper takes the description from, and whether it
// serves the audited file.
#include "tools/audit/AuditResults.h"

// Fills report.hosts, report.hostUsed, and the reasons and warnings about them.
void CheckDefaultHosts(const AuditOptions& options, AuditHttp& http, const AuditProgress& progress,
                       AuditReport& report);
