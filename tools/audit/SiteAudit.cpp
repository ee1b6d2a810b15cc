#include "tools/audit/SiteAudit.h"

#include <optional>

#include "crypto/Sha256.h"
#include "description/SetupDescription.h"
#include "download/HttpRules.h"
#include "tools/audit/HostAudit.h"
#include "tools/audit/ToolText.h"

namespace {

// The probe and the GET of a listed file: the whole body when it has a hash line, only its
// start otherwise.
void Fetch(AuditHttp& http, const std::wstring& url, const std::wstring& scheme, const std::string* expected,
           FileCheck& file) {
  if (expected == nullptr) {
    file.asked = AskUrl(http, url, scheme, false, BodySink());
    return;
  }
  Sha256 hash;
  bool hashed = true;
  file.asked = AskUrl(http, url, scheme, true, [&hash, &hashed](const char* bytes, std::size_t count) {
    hashed = hash.Add(bytes, count) && hashed;
    return true;
  });
  const std::optional<Sha256Digest> digest = hash.Finish();
  // A hash that could not be made matches no line.
  file.sha256 = hashed && digest ? LowerHex(*digest) : std::string();
}

std::string Problem(const FileCheck& file) {
  const std::string refused = TransferProblem(file.asked);
  if (!refused.empty()) return refused;
  const HttpAnswer& answer = file.asked.get.answer;
  if (file.hash == HashCheck::kNotRead) {
    if (!answer.bodyComplete) return "body broke off (" + answer.failure + ")";
    return "body of " + std::to_string(answer.bodyBytes) + " bytes, Content-Length " +
           std::to_string(answer.contentLength);
  }
  if (file.hash == HashCheck::kMismatch) return "SHA-256 does not match its [File Hashes] line";
  return std::string();
}

void Judge(const std::string* expected, FileCheck& file) {
  const HttpAnswer& answer = file.asked.get.answer;
  if (expected != nullptr) {
    if (!answer.bodyComplete || answer.bodyBytes != answer.contentLength) {
      file.hash = HashCheck::kNotRead;
    } else {
      file.hash = file.sha256 == *expected ? HashCheck::kMatch : HashCheck::kMismatch;
    }
  }
  file.problem = Problem(file);
  file.good = file.problem.empty();
}

SiteCheck CheckSite(const std::wstring& host, const std::vector<ListedFile>& listed,
                    const FileHashList& hashes, const std::wstring& scheme, AuditHttp& http) {
  SiteCheck site;
  site.host = host;
  for (const ListedFile& item : listed) {
    FileCheck file;
    file.source = item.source;
    file.target = item.target;
    const auto line = hashes.byTarget.find(item.target);
    const std::string* expected = line == hashes.byTarget.end() ? nullptr : &line->second;
    Fetch(http, WithScheme(scheme, http_rules::Url(host, item.source)), scheme, expected, file);
    Judge(expected, file);
    if (site.files.empty()) {
      site.reachable = file.asked.probe.answer.answered;
      site.qualifies = site.reachable && http_rules::SiteQualifies(file.asked.probedLength);
    }
    site.files.push_back(file);
    // Every further file would only wait for the same dead host.
    if (!site.reachable) break;
  }
  return site;
}

// What the chosen site costs users or risks, without stopping them.
void Warn(const SiteCheck& site, AuditReport& report) {
  bool ignoresRange = false;
  for (const FileCheck& file : site.files) {
    ignoresRange = ignoresRange || file.asked.ignoresRange;
    for (const std::string& line : file.asked.warnings) {
      report.warnings.push_back("site " + Utf8(site.host) + ": '" + Utf8(file.target) + "': " + line);
    }
  }
  if (ignoresRange) report.warnings.push_back(RangeIgnoredWarning(site.host));
}

void Conclude(const std::vector<ListedFile>& listed, AuditReport& report) {
  if (listed.empty()) {
    report.reasons.push_back("no file is listed under [Files to download]");
  } else if (report.chosenSite < 0) {
    report.reasons.push_back("no download site serves the first file '" + Utf8(listed[0].target) +
                             "' with more than " + std::to_string(http_rules::kSiteThreshold) + " bytes");
  } else {
    const SiteCheck& site = report.sites[static_cast<std::size_t>(report.chosenSite)];
    for (const FileCheck& file : site.files) {
      if (file.good) continue;
      report.reasons.push_back("site " + Utf8(site.host) + ": '" + Utf8(file.target) + "' (" +
                               Utf8(file.source) + "): " + file.problem);
    }
    Warn(site, report);
  }
  for (const int line : report.badHashLines) {
    report.reasons.push_back("[File Hashes] line " + std::to_string(line) + " is not \"<64 hex digits> <target>\" "
                             "or names a target twice");
  }
  report.userGetsThrough = report.reasons.empty();
}

}  // namespace

AuditReport AuditDescription(const SetupDescription& description, const AuditOptions& options,
                             AuditHttp& http, const AuditProgress& progress) {
  AuditReport report;
  CheckDefaultHosts(options, http, progress, report);
  const FileHashList hashes = FileHashesOf(description);
  report.hashesListed = HasFileHashes(description);
  report.badHashLines = hashes.badLines;
  const std::vector<ListedFile>& listed = description.ListedFiles();
  report.filesListed = static_cast<int>(listed.size());
  const std::vector<std::wstring>& sites = description.Sites();
  for (std::size_t i = 0; i < sites.size(); ++i) {
    progress("site " + std::to_string(i + 1) + " of " + std::to_string(sites.size()) + ": " +
             Utf8(sites[i]) + " (" + std::to_string(listed.size()) + " files) ...");
    report.sites.push_back(CheckSite(sites[i], listed, hashes, options.scheme, http));
    if (report.chosenSite < 0 && report.sites.back().qualifies) report.chosenSite = static_cast<int>(i);
  }
  Conclude(listed, report);
  return report;
}
