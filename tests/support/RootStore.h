#pragma once
// The certificate authorities that the current user trusts, in the Wine prefix the program runs
// in (always the project's own: scripts/wine-session.sh): the rig's CA goes in for the HTTPS
// tests and comes out after them. The machine's own trust store is never touched.
#include <string>

// Adds the DER certificate `der` to the current user's "Root" store. False on failure.
bool TrustRootCertificate(const std::string& der);
// Removes it again; true when it is no longer there (also when it never was).
bool DistrustRootCertificate(const std::string& der);
