#include "tools/audit/HostAudit.h"

#include "description/DecryptDescription.h"
#include "description/DescriptionConstants.h"
#include "download/HttpRules.h"
#include "tools/audit/ToolText.h"

namespace {

// Compares a body with the audited file as it arrives, holding nothing of it.
class SameBytes {
 public:
  explicit SameBytes(const std::string& given) : given_(given) {}
  bool Add(const char* bytes, std::size_t count) {
    if (at_ + count > given_.size() || given_.compare(at_, count, bytes, count) != 0) differs_ = true;
    at_ += count;
    return !differs_;  // the rest would not change the verdict
  }
  bool Same(const HttpAnswer& answer) const {
    return !differs_ && answer.bodyComplete && at_ == given_.size();
  }

 private:
  const std::string& given_;
  std::size_t at_ = 0;
  bool differs_ = false;
};

HostCheck CheckHost(const std::wstring& host, const std::wstring& path, const AuditOptions& options,
                    AuditHttp& http) {
  HostCheck check;
  check.host = host;
  SameBytes same(options.givenDescription);
  check.asked = AskUrl(http, WithScheme(options.scheme, http_rules::Url(host, path)), options.scheme, true,
                       [&same, &check](const char* bytes, std::size_t count) {
                         const bool sameSoFar = same.Add(bytes, count);
                         // Kept for the expiry warning, as far as a description can reach.
                         if (check.body.size() + count > kMaxDescriptionFileBytes) return sameSoFar;
                         check.body.append(bytes, count);
                         return true;
                       });
  check.offers = check.asked.probe.answer.answered && http_rules::HostOffersDescription(check.asked.probedLength);
  if (!check.offers) {
    check.problem = check.asked.redirectProblem;  // the advice, when a hop is what stops it
    return check;
  }
  check.problem = TransferProblem(check.asked);
  if (!check.problem.empty()) return check;
  const HttpAnswer& answer = check.asked.get.answer;
  check.sameAsGiven = same.Same(answer);
  if (!check.sameAsGiven) {
    check.problem = "serves another description than the one audited (a stale mirror?)";
  } else if (answer.bodyBytes != answer.contentLength) {
    check.problem = "body of " + std::to_string(answer.bodyBytes) + " bytes, Content-Length " +
                    std::to_string(answer.contentLength);
  }
  return check;
}

// The used host's problem stops users (or gives them another description); another host's
// is met only when the ones before it fail.
void Weigh(const HostCheck& check, bool used, AuditReport& report) {
  if (!check.problem.empty()) {
    (used ? report.reasons : report.warnings).push_back("default host " + Utf8(check.host) + ": " + check.problem);
  }
  if (!used) return;
  if (check.asked.ignoresRange) report.warnings.push_back(RangeIgnoredWarning(check.host));
  for (const std::string& line : check.asked.warnings) {
    report.warnings.push_back("default host " + Utf8(check.host) + ": the description: " + line);
  }
}

}  // namespace

void CheckDefaultHosts(const AuditOptions& options, AuditHttp& http, const AuditProgress& progress,
                       AuditReport& report) {
  report.hostsChecked = !options.application.empty();
  if (!report.hostsChecked) return;
  const std::wstring path = http_rules::DescriptionFolder(options.application) +
                            std::wstring(L"/") + kDescriptionFileName;
  for (const std::wstring& host : options.defaultHosts) {
    progress("default host " + Utf8(host) + " ...");
    report.hosts.push_back(CheckHost(host, path, options, http));
    const HostCheck& check = report.hosts.back();
    const bool used = check.offers && report.hostUsed < 0;
    if (used) report.hostUsed = static_cast<int>(report.hosts.size() - 1);
    Weigh(check, used, report);
  }
  if (report.hostUsed < 0) {
    report.reasons.push_back("no default host serves " + Utf8(path) + " with at least " +
                             std::to_string(http_rules::kDescriptionThreshold) + " bytes");
  }
}
