#include "tools/check/VerifyProblems.h"

#include "description/DecryptDescription.h"
#include "tools/check/DescriptionCheck.h"
#include "tools/pack/EifSigning.h"
#include "tools/pack/SignedSections.h"
#include "tools/pack/ToolFiles.h"

namespace {

// The first of `publicKeyPaths` whose key verifies the signature of `text`, or what is wrong.
std::vector<std::string> MatchSigningKey(const std::string& text, const std::vector<std::string>& publicKeyPaths,
                                         std::string& matched) {
  std::vector<std::string> problems;
  for (const std::string& path : publicKeyPaths) {
    std::string publicDer;
    if (!ReadFileBytes(path, publicDer)) return {"cannot read signing public key " + path};
    const std::string problem = SignatureProblem(text, publicDer);
    if (problem.empty()) {
      matched = path;
      return {};
    }
    problems.push_back(publicKeyPaths.size() == 1 ? problem : path + ": " + problem);
  }
  if (problems.size() > 1) problems.insert(problems.begin(), "no --verify key verifies the signature");
  return problems;
}

}  // namespace

VerifyReport VerifyProblems(const std::string& file, const std::string& keyHex,
                            const std::vector<std::string>& publicKeyPaths, std::int64_t now) {
  const DecryptedDescription plain = DecryptDescriptionBytes(file, keyHex.c_str(), nullptr);
  if (!plain.HasText()) return {};
  const std::string text(plain.text.data(), static_cast<std::size_t>(plain.length));
  VerifyReport report;
  std::string matched;
  report.problems = MatchSigningKey(text, publicKeyPaths, matched);
  if (!matched.empty()) report.notes.push_back("signed by the key of " + matched);
  const SignedTextReport signedText = CheckSignedText(text, now);
  report.problems.insert(report.problems.end(), signedText.problems.begin(), signedText.problems.end());
  report.notes.insert(report.notes.end(), signedText.notes.begin(), signedText.notes.end());
  return report;
}
