#include "description/SetupDescription.h"

#include <algorithm>
#include <utility>

#include "description/AnsiWidening.h"
#include "description/DescriptionConstants.h"
#include "description/ValidUntil.h"

namespace {

std::wstring Ask(const std::function<std::wstring()>& query) { return query ? query() : std::wstring(); }

}  // namespace

SetupDescription::SetupDescription(DescriptionPlatform platform) : platform_(std::move(platform)) {}
SetupDescription::SetupDescription(SetupDescription&&) noexcept = default;
SetupDescription& SetupDescription::operator=(SetupDescription&&) noexcept = default;
SetupDescription::~SetupDescription() = default;

SetupDescription SetupDescription::Read(const std::string& plain, DescriptionPlatform platform) {
  SetupDescription description(std::move(platform));
  description.SetText(WidenAnsi(description.platform_.ansiToWide, plain));
  description.StripComments();
  description.placeholdersExpanded_ = description.ExpandPlaceholders();
  description.IndexHeaders();
  description.ReadLists();
  return description;
}

std::optional<std::wstring> FirstLineIfPresent(const SetupDescription& description, const wchar_t* name) {
  if (description.FindSection(name) < 0) return std::nullopt;
  return description.GetValue(name);
}

SignedSections SignedSectionsOf(const SetupDescription& description, const FileHashList& hashes) {
  return {hashes, description.ListedFiles(), FirstLineIfPresent(description, kValidUntilSection),
          FirstLineIfPresent(description, kApplicationSection)};
}

bool SetupDescription::HasText() const { return !text.empty(); }

void SetupDescription::SetText(std::wstring newText) {
  text = std::move(newText);
  upperText_ = UpperAscii(text);
  DropHeaderIndex();
  DropLists();
}

void SetupDescription::Splice(std::size_t position, std::size_t count, const std::wstring& replacement) {
  text.replace(position, count, replacement);
  upperText_.replace(position, count, UpperAscii(replacement));
  DropHeaderIndex();
}

void SetupDescription::DropHeaderIndex() {
  if (!headersIndexed_) return;
  headerIndex_ = {};
  headersIndexed_ = false;
}

void SetupDescription::IndexHeaders() {
  headerIndex_.clear();
  for (std::size_t open = upperText_.find(L'['); open != std::wstring::npos;) {
    const std::size_t next = upperText_.find_first_of(L"[]", open + 1);
    if (next == std::wstring::npos) break;
    if (upperText_[next] == L']') {
      // emplace keeps the first position of a header that occurs again.
      headerIndex_.emplace(upperText_.substr(open, next - open + 1), open);
      open = upperText_.find(L'[', next + 1);
    } else {
      open = next;
    }
  }
  headersIndexed_ = true;
}

void SetupDescription::StripComments() { SetText(WithoutComments(text)); }

std::size_t SetupDescription::ExpandedLengthLimit(std::size_t length) {
  return std::min(kMaxExpandedLength, length * kMaxExpansionFactor);
}

void SetupDescription::ShiftValueEnds(std::vector<std::size_t>& ends, std::size_t head, std::size_t tail,
                                      std::size_t valueLength) {
  for (std::size_t& end : ends) {
    // A value that ended inside the replaced placeholder now ends with the new value.
    end = end > tail ? end - (tail - head + 1) + valueLength : head + valueLength;
  }
}

bool SetupDescription::ExpandPlaceholders() {
  const std::size_t longest = ExpandedLengthLimit(text.size());
  // Where each inserted value that encloses the scan position ends, outermost first. The scan
  // only moves forward, so a value it has passed never encloses anything again.
  std::vector<std::size_t> valueEnds;
  std::size_t head = text.find(L'$');
  while (head != std::wstring::npos) {
    const std::size_t tail = text.find(L'$', head + 1);
    if (tail == std::wstring::npos) break;
    while (!valueEnds.empty() && valueEnds.back() <= head) valueEnds.pop_back();
    if (valueEnds.size() >= kMaxPlaceholderDepth) return false;
    const std::size_t placeholderLength = tail - head + 1;
    const std::wstring value = PlaceholderValue(text.substr(head + 1, tail - head - 1));
    if (text.size() - placeholderLength + value.size() > longest) return false;
    Splice(head, placeholderLength, value);
    ShiftValueEnds(valueEnds, head, tail, value.size());
    valueEnds.push_back(head + value.size());
    // From where the placeholder began: the value itself is expanded in turn.
    head = text.find(L'$', head);
  }
  return true;
}

std::wstring SetupDescription::PlaceholderValue(const std::wstring& name) {
  if (name == kProgramFilesPlaceholder) return Ask(platform_.programFilesFolder);
  if (name == kTempPlaceholder) return Ask(platform_.tempFolder);
  if (name == kDesktopPlaceholder) return Ask(platform_.desktopFolder);
  if (name == kStartMenuPlaceholder) return Ask(platform_.startMenuFolder);
  if (name == kApplicationPathPlaceholder) {
    std::wstring folder = Ask(platform_.applicationFolder);
    if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    return folder;
  }
  // A missing section is told once per read, however often its placeholder occurs.
  if (FindSection(name) < 0) {
    if (reportedPlaceholders_.insert(name).second) ReportMissingSection(name);
    return std::wstring();
  }
  return GetValue(name);
}

void SetupDescription::ReportMissingSection(const std::wstring& name) const {
  if (platform_.missingSection) platform_.missingSection(name);
}

int SetupDescription::FindSection(const std::wstring& name) const {
  const std::wstring key = UpperAscii(L"[" + name + L"]");
  // A header whose name holds no bracket is in the index exactly when it occurs in the text.
  if (headersIndexed_ && name.find_first_of(L"[]") == std::wstring::npos) {
    const auto entry = headerIndex_.find(key);
    if (entry == headerIndex_.end()) return -1;
    return static_cast<int>(entry->second + key.size());
  }
  const std::size_t found = upperText_.find(key);
  if (found == std::wstring::npos) return -1;
  return static_cast<int>(found + key.size());
}

std::wstring SetupDescription::SectionBody(int start) const {
  std::size_t end = text.find(L'[', static_cast<std::size_t>(start));
  if (end == std::wstring::npos) end = text.size();
  return TrimDescriptionSpace(text.substr(start, end - start));
}

std::wstring SetupDescription::GetItem(const std::wstring& name, int index) const {
  const int start = FindSection(name);
  if (start < 0) {
    ReportMissingSection(name);
    return std::wstring();
  }
  return LineAt(SectionBody(start), index);
}

std::wstring SetupDescription::GetValue(const std::wstring& name) const { return GetItem(name, 0); }

std::vector<std::wstring> SetupDescription::SectionLines(const std::wstring& name) const {
  const int start = FindSection(name);
  if (start < 0) return {};
  return SplitLines(SectionBody(start));
}

void SetupDescription::DropLists() {
  files_ = {};
  sites_ = {};
}

void SetupDescription::ReadLists() {
  DropLists();
  files_.present = FindSection(kFilesSection) >= 0;
  // A step does not move past an empty line, so nothing after the first one is reachable.
  for (const std::wstring& line : SectionLines(kFilesSection)) {
    if (line.empty()) break;
    files_.reachable.push_back(SplitFileItem(line));
  }
  for (const FileItem& item : files_.reachable) {
    if (item.source.empty() || item.target.empty()) break;
    files_.walked.push_back(ListedFile{item.source, item.target});
  }
  sites_.present = FindSection(kSitesSection) >= 0;
  for (const std::wstring& line : SectionLines(kSitesSection)) {
    if (line.empty()) break;
    sites_.reachable.push_back(TrimDescriptionSpace(line));
  }
  for (const std::wstring& host : sites_.reachable) {
    if (host.empty()) break;
    sites_.walked.push_back(host);
  }
}

bool SetupDescription::StepOn(const wchar_t* section, bool present, std::size_t reachable, int& index) const {
  if (!present) {
    ReportMissingSection(section);
    return false;
  }
  // The index only grows, one reachable item at a time: it is never negative.
  if (static_cast<std::size_t>(index) >= reachable) return false;
  ++index;
  return true;
}

const std::vector<ListedFile>& SetupDescription::WalkListedFiles() const {
  if (!files_.present) ReportMissingSection(kFilesSection);
  return files_.walked;
}

const std::vector<std::wstring>& SetupDescription::WalkSites() const {
  if (!sites_.present) ReportMissingSection(kSitesSection);
  return sites_.walked;
}

bool SetupDescription::GetFirstFile(std::wstring& source, std::wstring& target) {
  fileIndex = 0;
  return GetNextFile(source, target);
}

bool SetupDescription::GetNextFile(std::wstring& source, std::wstring& target) {
  source.clear();
  target.clear();
  if (!StepOn(kFilesSection, files_.present, files_.reachable.size(), fileIndex)) return false;
  const FileItem& item = files_.reachable[static_cast<std::size_t>(fileIndex) - 1];
  source = item.source;
  target = item.target;
  return !source.empty() && !target.empty();
}

bool SetupDescription::GetFirstSite(std::wstring& host) {
  siteIndex = 0;
  return GetNextSite(host);
}

bool SetupDescription::GetNextSite(std::wstring& host) {
  host.clear();
  if (!StepOn(kSitesSection, sites_.present, sites_.reachable.size(), siteIndex)) return false;
  host = sites_.reachable[static_cast<std::size_t>(siteIndex) - 1];
  return !host.empty();
}

FileHashList FileHashesOf(const SetupDescription& description) {
  return ParseFileHashLines(description.SectionLines(kFileHashesSection));
}

bool HasFileHashes(const SetupDescription& description) {
  return description.FindSection(kFileHashesSection) >= 0;
}
