#pragma once
// The decrypted setup description: sections, values and the two lists.
#include <string>

#include "description/DescriptionPlatform.h"

class SetupDescription {
 public:
  explicit SetupDescription(DescriptionPlatform platform = {});
  virtual ~SetupDescription();

  void SetPlatform(DescriptionPlatform platform);

  // Decrypts, converts, strips comments, expands placeholders; true when a text came back and
  // its "[End]" section holds "End". The text stays loaded even when the end marker fails.
  bool Load(const std::wstring& path);
  bool IsLoaded() const;

  // Position just after "[name]" (letters in any case), or -1.
  int FindSection(const std::wstring& name) const;
  // Line `index` of the trimmed body; a missing section shows the "Ini Parser" message.
  std::wstring GetItem(const std::wstring& name, int index);
  std::wstring GetValue(const std::wstring& name);

  // "Files to download": source "->" target; true while both sides are non-empty.
  bool GetFirstFile(std::wstring& source, std::wstring& target);
  bool GetNextFile(std::wstring& source, std::wstring& target);
  // "Download Sites": one host a line; true while the host is non-empty.
  bool GetFirstSite(std::wstring& host);
  bool GetNextSite(std::wstring& host);

 private:
  DescriptionPlatform platform_;
  std::wstring text;
  int fileIndex = 0;
  int siteIndex = 0;
};
