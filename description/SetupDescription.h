#pragma once
// The decrypted setup description as read: sections, values and the two lists. Whether a build
// accepts it is LoadDescription's verdict.
#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "description/DescriptionPlatform.h"
#include "description/DescriptionSyntax.h"
#include "description/FileHashes.h"
#include "description/SignedRules.h"

class SetupDescription {
 public:
  // Placeholder expansion ends on every input, in time proportional to the description: a
  // placeholder inside more than this many nested values (a cycle reaches it at once) stops it,
  // and so does a text that would grow past ExpandedLengthLimit; the description is refused.
  static constexpr std::size_t kMaxPlaceholderDepth = 32;
  static constexpr std::size_t kMaxExpansionFactor = 16;
  static constexpr std::size_t kMaxExpandedLength = 4 * 1024 * 1024;
  // The longest text that expanding a text of `length` characters may give.
  static std::size_t ExpandedLengthLimit(std::size_t length);

  // An empty description: no text, no sections.
  explicit SetupDescription(DescriptionPlatform platform = {});
  SetupDescription(SetupDescription&&) noexcept;
  SetupDescription& operator=(SetupDescription&&) noexcept;
  SetupDescription(const SetupDescription&) = delete;
  SetupDescription& operator=(const SetupDescription&) = delete;
  ~SetupDescription();

  // Reads `plain` (ANSI code page, up to its first NUL): converts it, strips comments, expands
  // placeholders and reads the two lists. It judges nothing: a text whose expansion stopped at
  // its bound, or without an end marker, is read all the same.
  static SetupDescription Read(const std::string& plain, DescriptionPlatform platform);
  bool HasText() const;
  // False when the read stopped expanding placeholders at the bound (a cycle or a runaway
  // expansion).
  bool PlaceholdersExpanded() const { return placeholdersExpanded_; }
  // The text after conversion, comment removal and placeholder expansion.
  const std::wstring& Text() const { return text; }

  // Position just after "[name]" (letters in any case), or -1.
  int FindSection(const std::wstring& name) const;
  // Line `index` of the trimmed body; a missing section is reported to the platform.
  std::wstring GetItem(const std::wstring& name, int index) const;
  std::wstring GetValue(const std::wstring& name) const;
  // Every line of the trimmed body, as GetItem sees them; none for a missing section, which is
  // not reported.
  std::vector<std::wstring> SectionLines(const std::wstring& name) const;

  // The two lists as a walk from their first item reads them, worked out once per read:
  // "Files to download" up to the first item without a source or a target, "Download Sites"
  // up to the first empty host. Empty, and without a message, for a missing section.
  const std::vector<ListedFile>& ListedFiles() const { return files_.walked; }
  const std::vector<std::wstring>& Sites() const { return sites_.walked; }
  // The same lists for a step of the run that walks them: a missing section shows the
  // missing-section message first, as the first step of a walk over it does.
  const std::vector<ListedFile>& WalkListedFiles() const;
  const std::vector<std::wstring>& WalkSites() const;

  // Cursors over the same lists. "Files to download": source "->" target; true while both
  // sides are non-empty. "Download Sites": one host a line; true while the host is non-empty.
  // An unusable item is passed over, an empty line is not; each step over a missing section
  // shows the missing-section message, as every lookup does.
  bool GetFirstFile(std::wstring& source, std::wstring& target);
  bool GetNextFile(std::wstring& source, std::wstring& target);
  bool GetFirstSite(std::wstring& host);
  bool GetNextSite(std::wstring& host);

 private:
  void SetText(std::wstring newText);
  // Replaces `count` characters at `position` in the text and its upper-cased copy alike.
  void Splice(std::size_t position, std::size_t count, const std::wstring& replacement);
  void StripComments();
  // False when a bound stopped it.
  bool ExpandPlaceholders();
  // Moves the ends of the enclosing values after a placeholder from `head` to `tail` was
  // replaced by a value of `valueLength` characters.
  static void ShiftValueEnds(std::vector<std::size_t>& ends, std::size_t head, std::size_t tail,
                             std::size_t valueLength);
  std::wstring PlaceholderValue(const std::wstring& name);
  // The "Ini Parser" message for a section that is not there.
  void ReportMissingSection(const std::wstring& name) const;
  // Records where each "[...]" without inner brackets first occurs, so lookups of the read
  // text do not search it; any change of the text drops the index.
  void IndexHeaders();
  void DropHeaderIndex();
  // The trimmed text between "[name]" and the next "[" (or the end); `start` from FindSection.
  std::wstring SectionBody(int start) const;

  // One list section: every item a step can reach (the lines before the first empty one, as a
  // step reads them) and the front of it that a walk from the first item returns.
  template <typename Item, typename Walked>
  struct ListItems {
    bool present = false;
    std::vector<Item> reachable;
    std::vector<Walked> walked;
  };
  void ReadLists();
  void DropLists();
  // Whether a step at `index` reads an item (and moves past it); shows the message when the
  // section is missing.
  bool StepOn(const wchar_t* section, bool present, std::size_t reachable, int& index) const;

  DescriptionPlatform platform_;
  std::wstring text;
  // `text` with ASCII letters upper-cased, kept in step so a lookup does not copy the text.
  std::wstring upperText_;
  std::unordered_map<std::wstring, std::size_t> headerIndex_;  // upper-cased header -> position
  bool headersIndexed_ = false;
  bool placeholdersExpanded_ = true;
  // Names of missing sections already reported by this read's placeholders: each is told once.
  std::set<std::wstring> reportedPlaceholders_;
  ListItems<FileItem, ListedFile> files_;
  ListItems<std::wstring, std::wstring> sites_;
  int fileIndex = 0;
  int siteIndex = 0;
};

// The [File Hashes] section of a read description, its lines as every lookup sees them; empty
// (and no message) when it has none.
FileHashList FileHashesOf(const SetupDescription& description);
bool HasFileHashes(const SetupDescription& description);

// The value of section `name`, or nothing (and no message) when it is missing.
std::optional<std::wstring> FirstLineIfPresent(const SetupDescription& description, const wchar_t* name);

// What the rules for signed descriptions read of `description`, with its [File Hashes] `hashes`.
SignedSections SignedSectionsOf(const SetupDescription& description, const FileHashList& hashes);
