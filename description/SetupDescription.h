#pragma once
// The decrypted setup description: sections, values and the two lists.
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "description/DescriptionPlatform.h"

class SetupDescription {
 public:
  // Placeholder expansion ends on every input: after this many expansions, or when the text
  // would grow by more than this many characters, it stops and the description is refused.
  static constexpr int kMaxPlaceholderExpansions = 1024;
  static constexpr std::size_t kMaxPlaceholderGrowth = 64 * 1024;

  explicit SetupDescription(DescriptionPlatform platform = {});
  virtual ~SetupDescription();

  void SetPlatform(DescriptionPlatform platform);

  // Decrypts, converts, strips comments, expands placeholders; true when a text came back and
  // its "[End]" section holds "End". The text stays loaded even when the end marker fails.
  bool Load(const std::wstring& path);
  // The same for an already decrypted text (ANSI code page, read up to its first NUL).
  bool LoadPlainText(const std::string& plain);
  bool IsLoaded() const;
  // False when the last load stopped expanding placeholders at the bound (a cycle or a
  // runaway expansion); such a load returns false.
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

  // "Files to download": source "->" target; true while both sides are non-empty.
  bool GetFirstFile(std::wstring& source, std::wstring& target);
  bool GetNextFile(std::wstring& source, std::wstring& target);
  // "Download Sites": one host a line; true while the host is non-empty.
  bool GetFirstSite(std::wstring& host);
  bool GetNextSite(std::wstring& host);

 private:
  void SetText(std::wstring newText);
  // Replaces `count` characters at `position` in the text and its upper-cased copy alike.
  void Splice(std::size_t position, std::size_t count, const std::wstring& replacement);
  void StripComments();
  // False when the bound stopped it.
  bool ExpandPlaceholders();
  std::wstring PlaceholderValue(const std::wstring& name);
  // Records where each "[...]" without inner brackets first occurs, so lookups of the loaded
  // text do not search it; any change of the text drops the index.
  void IndexHeaders();
  void DropHeaderIndex();
  // The trimmed text between "[name]" and the next "[" (or the end); `start` from FindSection.
  std::wstring SectionBody(int start) const;

  DescriptionPlatform platform_;
  std::wstring text;
  // `text` with ASCII letters upper-cased, kept in step so a lookup does not copy the text.
  std::wstring upperText_;
  std::unordered_map<std::wstring, std::size_t> headerIndex_;  // upper-cased header -> position
  bool headersIndexed_ = false;
  bool placeholdersExpanded_ = true;
  int fileIndex = 0;
  int siteIndex = 0;
};
