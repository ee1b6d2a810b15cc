#include "tools/pack/SignedSections.h"

#include "description/SetupDescription.h"
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

void CheckExpiry(const SetupDescription& description, std::int64_t now, SignedTextReport& report) {
  if (description.FindSection(kValidUntilSection) < 0) {
    report.notes.push_back("warning: no [Valid Until]: a build with a signing key refuses it (unless built with "
                           "SETUP_REQUIRE_VALID_UNTIL=OFF); `pack --sign` writes one");
    return;
  }
  const std::wstring value = description.GetValue(kValidUntilSection);
  const std::optional<std::int64_t> until = ParseValidUntil(TrimDescriptionSpace(value));
  if (!until) {
    report.problems.push_back("[Valid Until] '" + Narrow(value) + "' is not YYYY-MM-DD or YYYY-MM-DD HH:MM:SS");
  } else if (!StillValid(*until, now)) {
    report.problems.push_back("expired at " + FormatValidUntil(*until) + " UTC: Setup.exe refuses it; sign it again");
  } else {
    report.notes.push_back("valid until " + FormatValidUntil(*until) + " UTC (" + TimeLeft(*until - now) + ")");
  }
}

void CheckApplication(const SetupDescription& description, SignedTextReport& report) {
  if (description.FindSection(kApplicationSection) < 0) {
    report.notes.push_back("warning: for any application: a build with a signing key refuses it unless built "
                           "with SETUP_REQUIRE_APPLICATION=OFF");
    return;
  }
  const std::wstring name = TrimDescriptionSpace(description.GetValue(kApplicationSection));
  if (name.empty()) {
    report.problems.push_back("[Application] is empty: no Setup.exe accepts it");
  } else {
    report.notes.push_back("for application " + Narrow(name) + " (Setup_" + Narrow(name) + "_*.exe)");
  }
}

}  // namespace

std::string WithSignedSections(const std::string& plain, std::int64_t validUntil,
                               const std::optional<std::string>& application, std::vector<std::string>& kept) {
  SetupDescription description;
  description.LoadPlainText(plain);
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
  SetupDescription description;
  description.LoadPlainText(plain);
  SignedTextReport report;
  const FileHashList hashes = FileHashesOf(description);
  for (const std::wstring& target : TargetsWithoutSize(description.ListedFiles(), hashes)) {
    if (hashes.byTarget.count(target) == 0) continue;  // the hash coverage check names it
    report.notes.push_back("warning: the [File Hashes] line of '" + Narrow(target) + "' has no size: a build with a "
                           "signing key refuses it (unless built with SETUP_REQUIRE_SIZES=OFF); `eiftool hash` "
                           "writes it");
  }
  CheckExpiry(description, now, report);
  CheckApplication(description, report);
  return report;
}

std::optional<std::string> ExpiryWarning(const std::string& plain, std::int64_t now) {
  SetupDescription description;
  description.LoadPlainText(plain);
  if (description.FindSection(kValidUntilSection) < 0) return std::nullopt;
  const std::optional<std::int64_t> until =
      ParseValidUntil(TrimDescriptionSpace(description.GetValue(kValidUntilSection)));
  if (!until) return std::string("its [Valid Until] is malformed: a build with a signing key refuses it");
  const std::string when = FormatValidUntil(*until) + " UTC";
  if (!StillValid(*until, now)) return "it expired at " + when + ": a build with a signing key refuses it; sign it again";
  if (*until - now > kExpiryWarningSeconds) return std::nullopt;
  return "it expires at " + when + " (" + TimeLeft(*until - now) + "): sign it again before then";
}
