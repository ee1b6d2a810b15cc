#include "tools/audit/AuditReport.h"

#include "tools/audit/ToolText.h"

namespace {

std::string Padded(const std::string& text, std::size_t width) {
  return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

std::string StatusText(const HttpAnswer& answer) {
  if (!answer.answered) return answer.timedOut ? "time-out" : "no answer";
  return std::to_string(answer.status);
}

std::string LengthText(const HttpAnswer& answer) {
  if (!answer.answered) return "-";
  return answer.hasLength ? std::to_string(answer.contentLength) : "none";
}

const char* HashText(HashCheck hash) {
  switch (hash) {
    case HashCheck::kNoLine: return "-";
    case HashCheck::kMatch: return "match";
    case HashCheck::kMismatch: return "MISMATCH";
    case HashCheck::kNotRead: return "not read";
  }
  return "?";
}

const char* YesNo(bool value) { return value ? "yes" : "no"; }

// One line per redirect hop, below the URL's line.
std::string HopLines(const std::vector<RedirectHop>& hops, const std::string& indent) {
  std::string out;
  for (const RedirectHop& hop : hops) {
    out += indent + "redirect " + std::to_string(hop.status) + " -> " + Utf8(hop.location) +
           (hop.schemeChanges ? "  [scheme changes]" : "") + (hop.hostChanges ? "  [host changes]" : "") + "\n";
  }
  return out;
}

std::string HostsTable(const AuditReport& report) {
  if (!report.hostsChecked) return "Default hosts: not asked (give --application NAME)\n\n";
  std::string out = "Default hosts (the description needs a probed length of at least 1000)\n";
  out += "  " + Padded("host", 28) + Padded("status", 10) + Padded("length", 12) + Padded("probed", 12) +
         "serves it\n";
  for (std::size_t i = 0; i < report.hosts.size(); ++i) {
    const HostCheck& host = report.hosts[i];
    out += "  " + Padded(Utf8(host.host), 28) + Padded(StatusText(Shown(host.asked).answer), 10) +
           Padded(LengthText(Shown(host.asked).answer), 12) + Padded(std::to_string(host.asked.probedLength), 12) +
           YesNo(host.offers) + (static_cast<int>(i) == report.hostUsed ? "  <- used" : "") +
           (host.sameAsGiven ? "  (the audited file)" : "") + "\n";
    out += HopLines(Shown(host.asked).hops, "      ");
  }
  return out + "\n";
}

std::string SitesTable(const AuditReport& report) {
  std::string out = "Download sites in list order (the first file needs a probed length over 1000)\n";
  for (std::size_t i = 0; i < report.sites.size(); ++i) {
    const SiteCheck& site = report.sites[i];
    out += "  " + std::to_string(i + 1) + ". " + Utf8(site.host) + "  reachable: " + YesNo(site.reachable) +
           "  qualifies: " + YesNo(site.qualifies) +
           (static_cast<int>(i) == report.chosenSite ? "  <- chosen" : "") + "\n";
    for (const FileCheck& file : site.files) {
      out += "       " + Padded(Utf8(file.target), 24) + Padded(StatusText(Shown(file.asked).answer), 10) +
             Padded(LengthText(Shown(file.asked).answer), 12) + Padded(std::to_string(file.asked.probedLength), 12) +
             Padded(HashText(file.hash), 10) + (file.good ? "ok" : file.problem) + "\n";
      out += HopLines(Shown(file.asked).hops, "         ");
    }
  }
  if (report.sites.empty()) out += "  (none listed)\n";
  return out + "\n";
}

const char* Bool(bool value) { return value ? "true" : "false"; }

std::string AnswerJson(const HttpAnswer& answer) {
  std::string out = "{\"answered\": " + std::string(answer.answered ? "true" : "false") +
                    ", \"timedOut\": " + (answer.timedOut ? "true" : "false") +
                    ", \"status\": " + std::to_string(answer.status);
  out += ", \"contentLength\": " + (answer.hasLength ? std::to_string(answer.contentLength) : "null");
  out += std::string(", \"chunked\": ") + Bool(answer.chunked) + ", \"etag\": " + Bool(answer.hasEtag) +
         ", \"lastModified\": " + Bool(answer.hasLastModified);
  if (!answer.failure.empty()) out += ", \"failure\": " + JsonString(answer.failure);
  return out + "}";
}

std::string StringsJson(const std::vector<std::string>& lines) {
  std::string out = "[";
  for (std::size_t i = 0; i < lines.size(); ++i) out += (i ? ", " : "") + JsonString(lines[i]);
  return out + "]";
}

// The URL's answers: the GET's as "answer" (the probe's when no GET was asked), the probe's, the
// hops and the warnings.
std::string AskedJson(const UrlAnswers& asked) {
  std::string out = "\"url\": " + JsonString(Utf8(asked.url)) + ", \"answer\": " + AnswerJson(Shown(asked).answer) +
                    ", \"probe\": " + AnswerJson(asked.probe.answer) +
                    ", \"probedLength\": " + std::to_string(asked.probedLength) + ", \"hops\": [";
  const std::vector<RedirectHop>& hops = Shown(asked).hops;
  for (std::size_t i = 0; i < hops.size(); ++i) {
    const RedirectHop& hop = hops[i];
    out += std::string(i ? ", " : "") + "{\"status\": " + std::to_string(hop.status) + ", \"location\": " +
           JsonString(Utf8(hop.location)) + ", \"schemeChanges\": " + Bool(hop.schemeChanges) +
           ", \"hostChanges\": " + Bool(hop.hostChanges) + "}";
  }
  return out + "], \"ignoresRange\": " + Bool(asked.ignoresRange) + ", \"warnings\": " +
         StringsJson(asked.warnings);
}

std::string FileJson(const FileCheck& file) {
  std::string out = "{\"source\": " + JsonString(Utf8(file.source)) + ", \"target\": " + JsonString(Utf8(file.target)) +
                    ", " + AskedJson(file.asked) + ", \"hash\": " + JsonString(HashText(file.hash));
  if (!file.sha256.empty()) out += ", \"sha256\": " + JsonString(file.sha256);
  out += ", \"good\": " + std::string(Bool(file.good));
  if (!file.problem.empty()) out += ", \"problem\": " + JsonString(file.problem);
  return out + "}";
}

std::string SiteJson(const SiteCheck& site) {
  std::string out = "{\"host\": " + JsonString(Utf8(site.host)) + ", \"reachable\": " + Bool(site.reachable) +
                    ", \"qualifies\": " + Bool(site.qualifies) + ", \"files\": [";
  for (std::size_t i = 0; i < site.files.size(); ++i) out += (i ? ", " : "") + FileJson(site.files[i]);
  return out + "]}";
}

std::string HostJson(const HostCheck& host) {
  std::string out = "{\"host\": " + JsonString(Utf8(host.host)) + ", " + AskedJson(host.asked) +
                    ", \"offers\": " + Bool(host.offers) + ", \"sameAsGiven\": " + Bool(host.sameAsGiven);
  if (!host.problem.empty()) out += ", \"problem\": " + JsonString(host.problem);
  return out + "}";
}

std::string Index(int index) { return index < 0 ? "null" : std::to_string(index); }

}  // namespace

std::string AuditTable(const AuditReport& report) {
  std::string out = HostsTable(report) + SitesTable(report);
  if (report.chosenSite >= 0) {
    out += "Setup.exe would choose: " + Utf8(report.sites[static_cast<std::size_t>(report.chosenSite)].host) + "\n";
  } else {
    out += "Setup.exe would choose: no site (\"Error: Download site not found.\")\n";
  }
  for (const std::string& reason : report.reasons) out += "  problem: " + reason + "\n";
  for (const std::string& warning : report.warnings) out += "  warning: " + warning + "\n";
  out += report.userGetsThrough ? "A user gets through.\n" : "A user does NOT get through.\n";
  return out;
}

std::string AuditJson(const AuditReport& report) {
  std::string out = "{\n  \"defaultHostsChecked\": " + std::string(Bool(report.hostsChecked)) + ",\n  \"defaultHosts\": [";
  for (std::size_t i = 0; i < report.hosts.size(); ++i) out += (i ? ", " : "") + HostJson(report.hosts[i]);
  out += "],\n  \"defaultHostUsed\": " + Index(report.hostUsed) + ",\n  \"fileHashes\": " + Bool(report.hashesListed) +
         ",\n  \"filesListed\": " + std::to_string(report.filesListed) + ",\n  \"sites\": [";
  for (std::size_t i = 0; i < report.sites.size(); ++i) out += std::string(i ? ",\n    " : "\n    ") + SiteJson(report.sites[i]);
  out += "],\n  \"chosenSite\": " + Index(report.chosenSite);
  out += ",\n  \"chosenHost\": " +
         (report.chosenSite < 0 ? std::string("null")
                                : JsonString(Utf8(report.sites[static_cast<std::size_t>(report.chosenSite)].host)));
  out += ",\n  \"problems\": " + StringsJson(report.reasons) + ",\n  \"warnings\": " + StringsJson(report.warnings);
  return out + ",\n  \"userGetsThrough\": " + Bool(report.userGetsThrough) + "\n}\n";
}
