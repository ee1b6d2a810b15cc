#include "tools/pack/SignedSections.h"

#include "description/SetupDescription.h"
#include "description/SignedRules.h"
#include "description/ValidUntil.h"

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

std::string LineEndOf(const std::string& text) {
  const std::size_t feed = text.find('\n');
  return feed != std::string::npos && feed > 0 && text[feed - 1] == '\r' ? "\r\n" : "\n";
}

std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (const wchar_t c : text) narrow.push_back(c < 256 ? static_cast<char>(c) : '?');
  return narrow;
}

std::string TimeLeft(std::int64_t seconds) {
  const std::int64_t days = seconds / kSecondsPerDay;
  const std::int64_t hours = seconds % kSecondsPerDay / 3600;
  return std::to_string(days) + " days " + std::to_string(hours) + " hours left";
}

// The first line of [Valid Until], and its time when it has the form.
std::optional<std::int64_t> ValidUntilOf(const SignedSections& sections) {
  if (!sections.validUntil) return std::nullopt;
  return ParseValidUntil(TrimDescriptionSpace(*sections.validUntil));
}

// What `check` can say of each rule's refusal under the default settings: a problem when every
// build with a signing key refuses it, a warning when only the default settings do.
void Report(const DescriptionRefusal& refusal, const SignedSections& sections, SignedTextReport& report,
            std::vector<std::string>& sizeWarnings) {
  using Kind = DescriptionRefusal::Kind;
  switch (refusal.kind) {
    case Kind::kNoValidUntil:
      report.notes.push_back("warning: no [Valid Until]: a build with a signing key refuses it (unless built with "
                             "SETUP_REQUIRE_VALID_UNTIL=OFF); `pack --sign` writes one");
      return;
    case Kind::kBadValidUntil:
      report.problems.push_back("[Valid Until] '" + Narrow(*sections.validUntil) +
                                "' is not YYYY-MM-DD or YYYY-MM-DD HH:MM:SS");
      return;
    case Kind::kExpired:
      report.problems.push_back("expired at " + FormatValidUntil(refusal.validUntil) +
                                " UTC: Setup.exe refuses it; sign it again");
      return;
    case Kind::kNoApplication:
      report.notes.push_back("warning: for any application: a build with a signing key refuses it unless built "
                             "with SETUP_REQUIRE_APPLICATION=OFF");
      return;
    case Kind::kOtherApplication:  // under a context that accepts every name: an empty one
      report.problems.push_back("[Application] is empty: no Setup.exe accepts it");
      return;
    case Kind::kUnsized:
      sizeWarnings.push_back("warning: the [File Hashes] line of '" + Narrow(refusal.name) +
                             "' has no size: a build with a signing key refuses it (unless built with "
                             "SETUP_REQUIRE_SIZES=OFF); `eiftool hash` writes it");
      return;
    default:  // the hash lines are named line by line; the rest cannot occur with a clock
      return;
  }
}

// Each malformed hash line and each listed target without one.
void ReportHashCoverage(const SetupDescription& description, const FileHashList& hashes,
                        std::vector<std::string>& problems) {
  for (const int line : hashes.badLines) {
    problems.push_back("[File Hashes] line " + std::to_string(line) +
                       " is not \"<64 hex digits> [<size>] <target>\" or names a target again; a build with a "
                       "signing key refuses the description");
  }
  for (const std::wstring& target : TargetsWithoutHash(description.ListedFiles(), hashes)) {
    problems.push_back("[Files to download] target '" + Narrow(target) +
                       "' has no line in [File Hashes]; a build with a signing key refuses the description");
  }
}

}  // namespace

std::string WithSignedSections(const std::string& plain, std::int64_t validUntil,
                               const std::optional<std::string>& application, std::vector<std::string>& kept) {
  const SetupDescription description = SetupDescription::Read(plain, {});
  const std::string end = LineEndOf(plain);
  std::string text = plain;
  if (!text.empty() && text.back() != '\n') text += end;
  if (description.FindSection(kValidUntilSection) >= 0) {
    kept.push_back("[Valid Until]");
  } else {
    text += "[Valid Until]" + end + FormatValidUntil(validUntil) + end + end;
  }
  if (application && description.FindSection(kApplicationSection) >= 0) {
    kept.push_back("[Application]");
  } else if (application) {
    text += "[Application]" + end + *application + end + end;
  }
  return text;
}

SignedTextReport CheckSignedText(const std::string& plain, std::int64_t now) {
  const SetupDescription description = SetupDescription::Read(plain, {});
  const FileHashList hashes = FileHashesOf(description);
  const SignedSections sections = SignedSectionsOf(description, hashes);
  SignedTextReport report;
  ReportHashCoverage(description, hashes, report.problems);
  // The default settings require everything; `check` knows no executable's name, so any name
  // counts as this application's and only an empty one is refused.
  SigningPolicy defaults;
  defaults.requireValidUntil = defaults.requireApplication = defaults.requireSizes = true;
  const SignedRuleContext context{[now] { return now; }, std::wstring(),
                                  [](const std::wstring&, const std::wstring&) { return true; }};
  std::vector<std::string> sizeWarnings;
  SignedTextReport rules;
  for (const DescriptionRefusal& refusal : SignedRuleRefusals(sections, defaults, context)) {
    Report(refusal, sections, rules, sizeWarnings);
  }
  report.notes = sizeWarnings;
  const std::optional<std::int64_t> until = ValidUntilOf(sections);
  if (until && StillValid(*until, now)) {
    rules.notes.insert(rules.notes.begin(), "valid until " + FormatValidUntil(*until) + " UTC (" +
                                                TimeLeft(*until - now) + ")");
  }
  const std::wstring application = sections.application ? TrimDescriptionSpace(*sections.application) : L"";
  if (!application.empty()) {
    rules.notes.push_back("for application " + Narrow(application) + " (Setup_" + Narrow(application) + "_*.exe)");
  }
  report.notes.insert(report.notes.end(), rules.notes.begin(), rules.notes.end());
  report.problems.insert(report.problems.end(), rules.problems.begin(), rules.problems.end());
  return report;
}

std::optional<std::string> ExpiryWarning(const std::string& plain, std::int64_t now) {
  const std::optional<std::wstring> value = FirstLineIfPresent(SetupDescription::Read(plain, {}), kValidUntilSection);
  if (!value) return std::nullopt;
  const std::optional<std::int64_t> until = ParseValidUntil(TrimDescriptionSpace(*value));
  if (!until) return std::string("its [Valid Until] is malformed: a build with a signing key refuses it");
  const std::string when = FormatValidUntil(*until) + " UTC";
  if (!StillValid(*until, now)) return "it expired at " + when + ": a build with a signing key refuses it; sign it again";
  if (*until - now > kExpiryWarningSeconds) return std::nullopt;
  return "it expires at " + when + " (" + TimeLeft(*until - now) + "): sign it again before then";
}
