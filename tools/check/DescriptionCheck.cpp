#include "tools/check/DescriptionCheck.h"

#include <cstring>
#include <cwchar>
#include <set>

#include "description/CryptoppDecryptor.h"
#include "description/DecryptDescription.h"
#include "description/DescriptionConstants.h"
#include "description/DescriptionSyntax.h"
#include "description/FormatTag.h"
#include "description/SetupDescription.h"
#include "fs/PathText.h"

namespace {

// Sections the bootstrapper asks for on every run.
const wchar_t* const kRequiredSections[] = {kFilesSection, kSitesSection, L"User Info Filename",
                                            L"Program to run", kEndSection};
// Sections whose value is a file name inside the setup temp folder.
const wchar_t* const kFileNameSections[] = {L"User Info Filename", L"Program to run"};

std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (const wchar_t c : text) narrow.push_back(c < 256 ? static_cast<char>(c) : '?');
  return narrow;
}

std::string Quoted(const std::wstring& text) { return "'" + Narrow(text) + "'"; }

// "//" right after other text on a line ("http://host") is a comment the writer did not mean;
// a "[" after other text ends the section body early.
void CheckRawLines(const std::wstring& raw, std::vector<std::string>& problems) {
  const std::vector<std::wstring> lines = SplitLines(raw);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::wstring& line = lines[i];
    const std::string where = "line " + std::to_string(i + 1) + ": ";
    const std::size_t comment = line.find(L"//");
    const std::wstring code = line.substr(0, comment);
    if (comment != std::wstring::npos && comment > 0 && !IsDescriptionSpace(line[comment - 1])) {
      problems.push_back(where + "\"//\" in " + Quoted(TrimDescriptionSpace(line)) +
                         " starts a comment and drops the rest of the line (write hosts without \"http://\")");
    }
    const std::size_t first = code.find_first_not_of(L" \t\r\v\f");
    for (std::size_t at = code.find(L'['); at != std::wstring::npos; at = code.find(L'[', at + 1)) {
      if (at != first) {
        problems.push_back(where + "\"[\" inside " + Quoted(TrimDescriptionSpace(code)) +
                           " ends the section body there");
      } else if (code.find(L']', at) == std::wstring::npos) {
        problems.push_back(where + "\"[\" without \"]\" on the line ends the section body there");
      }
    }
  }
}

// A list ends at its first empty line; items after it are never read.
void CheckListGap(const std::wstring& section, const std::vector<std::wstring>& lines,
                  std::vector<std::string>& problems) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!TrimDescriptionSpace(lines[i]).empty()) continue;
    problems.push_back("[" + Narrow(section) + "] item " + std::to_string(i + 1) +
                       " is an empty line: the list ends there and the " + std::to_string(lines.size() - i - 1) +
                       " line(s) after it are never read");
    return;
  }
}

std::string FileItemPlace(std::size_t index, const std::wstring& item) {
  return "[Files to download] item " + std::to_string(index + 1) + " " + Quoted(item) + ": ";
}

// Why the walk over the list stops at `line` (item `index`); an empty line is the gap check's.
void CheckWalkEnd(std::size_t index, const std::wstring& line, std::vector<std::string>& problems) {
  const std::wstring item = TrimDescriptionSpace(line);
  if (item.empty()) return;
  const FileItem split = SplitFileItem(item);
  if (!split.hasArrow) {
    problems.push_back(FileItemPlace(index, item) + "no \"->\"; the list ends here");
  } else {
    problems.push_back(FileItemPlace(index, item) + (split.source.empty() ? "empty source" : "empty target") +
                       "; the list ends here");
  }
}

// The items the bootstrapper walks, then the line where its walk stops.
void CheckFiles(const SetupDescription& description, std::vector<std::string>& problems) {
  const std::vector<ListedFile>& listed = description.ListedFiles();
  const std::vector<std::wstring> lines = description.SectionLines(kFilesSection);
  for (std::size_t i = 0; i < listed.size(); ++i) {
    const std::string where = FileItemPlace(i, TrimDescriptionSpace(lines[i]));
    if (listed[i].source[0] != L'/') problems.push_back(where + "the source must begin with \"/\"");
    if (!IsPlainFileName(listed[i].target)) problems.push_back(where + "the target is not a plain file name");
  }
  if (listed.size() < lines.size()) CheckWalkEnd(listed.size(), lines[listed.size()], problems);
  CheckListGap(kFilesSection, lines, problems);
}

// Sample folders for the built-in placeholders; the name of every missing section goes to
// `missing`.
DescriptionPlatform SampleFoldersPlatform(std::vector<std::wstring>& missing) {
  DescriptionPlatform platform;
  platform.programFilesFolder = [] { return std::wstring(L"C:\\Program Files"); };
  platform.tempFolder = [] { return std::wstring(L"C:\\Temp"); };
  platform.desktopFolder = [] { return std::wstring(L"C:\\Desktop"); };
  platform.startMenuFolder = [] { return std::wstring(L"C:\\Start Menu\\Programs"); };
  platform.applicationFolder = [] { return std::wstring(L"c:\\setup\\"); };
  platform.missingSection = [&missing](const std::wstring& name) { missing.push_back(name); };
  return platform;
}

// Each name once, however often it was expanded.
void ReportUnknownPlaceholders(const std::vector<std::wstring>& missing, std::vector<std::string>& problems) {
  std::set<std::wstring> reported;
  for (const std::wstring& name : missing) {
    if (name == kEndSection || !reported.insert(name).second) continue;
    problems.push_back("placeholder " + Quoted(L"$" + name + L"$") + " names no section; it becomes empty");
  }
}

}  // namespace

std::string DescribeDecryptionFailure(const std::string& file, const std::string& keyHex) {
  const DecryptedDescription result = DecryptDescriptionBytes(file, keyHex.c_str(), nullptr);
  const std::string which = "block " + std::to_string(result.failedBlock);
  switch (result.failure) {
    case DecryptionFailure::kUnreadableFile:
    case DecryptionFailure::kNoFormatTag:
      if (file.size() < kDescriptionHeaderLength) return "shorter than the signature and its 0x00 byte";
      return std::string("does not begin with the signature \"") + kFormatTagBytes + "\" and a 0x00 byte";
    case DecryptionFailure::kFileTooLarge:
      return "longer than " + std::to_string(kMaxDescriptionFileBytes) + " bytes; Setup.exe refuses it unread";
    case DecryptionFailure::kKeyDoesNotLoad: {
      // The reference library's words; it may load a key that the platform refuses.
      const std::string why = CryptoppKeyError(keyHex.c_str());
      return "the private key does not load (" + (why.empty() ? "the platform refuses it" : why) + ")";
    }
    case DecryptionFailure::kNotWholeBlocks:
      return std::to_string(file.size() - kDescriptionHeaderLength) +
             " bytes after the signature are not whole blocks of " + std::to_string(result.blockLength) +
             " (wrong key size, or the file was cut)";
    case DecryptionFailure::kBlockRefused:
      return which + " does not decrypt with this key (another key, or the block was changed)";
    case DecryptionFailure::kBlockFailed:
      return which + " is not a ciphertext of this key";
    case DecryptionFailure::kTooLong:
    case DecryptionFailure::kNone:
      break;
  }
  return "does not decrypt";
}

std::vector<std::string> CheckPlainDescription(const std::string& plain) {
  std::vector<std::string> problems;
  const std::size_t nul = plain.find('\0');
  if (nul != std::string::npos) {
    problems.push_back("the text holds a 0x00 byte at offset " + std::to_string(nul) +
                       "; everything after it is ignored");
  }
  CheckRawLines(WidenAnsi(nullptr, plain), problems);

  std::vector<std::wstring> missing;
  const SetupDescription description = SetupDescription::Read(plain, SampleFoldersPlatform(missing));
  ReportUnknownPlaceholders(missing, problems);
  if (!description.PlaceholdersExpanded()) {
    problems.push_back("placeholder expansion does not end (a placeholder refers to itself, directly or "
                       "through other sections); Setup.exe refuses the description");
    return problems;
  }
  for (const wchar_t* section : kRequiredSections) {
    if (description.FindSection(section) < 0) {
      problems.push_back("missing section [" + Narrow(section) + "]");
    }
  }
  if (description.FindSection(kEndSection) >= 0 && description.GetValue(kEndSection) != kEndValue) {
    problems.push_back("[End] holds " + Quoted(description.GetValue(kEndSection)) + " instead of 'End'");
  }
  CheckFiles(description, problems);
  CheckListGap(kSitesSection, description.SectionLines(kSitesSection), problems);
  for (const wchar_t* section : kFileNameSections) {
    if (description.FindSection(section) < 0) continue;
    const std::wstring value = description.GetValue(section);
    if (!IsPlainFileName(TrimDescriptionSpace(value))) {
      problems.push_back("[" + Narrow(section) + "] " + Quoted(value) + " is not a plain file name");
    }
  }
  return problems;
}

std::vector<std::string> CheckDescriptionFile(const std::string& file, const std::string& keyHex) {
  const DecryptedDescription plain = DecryptDescriptionBytes(file, keyHex.c_str(), nullptr);
  if (!plain.HasText()) return {DescribeDecryptionFailure(file, keyHex)};
  std::vector<std::string> problems;
  if (!plain.complete) {
    problems.push_back("decryption stopped part-way (a block that is not a ciphertext of this key); "
                       "only the text before it is read");
  }
  const std::vector<std::string> more =
      CheckPlainDescription(std::string(plain.text.data(), static_cast<std::size_t>(plain.length)));
  problems.insert(problems.end(), more.begin(), more.end());
  return problems;
}
