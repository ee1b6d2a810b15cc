#pragma once
// The hand-over file for the final setup.
#include <string>

#include "description/SetupDescription.h"

// What this run tells the final setup, besides the system folders that are asked for when the
// file is written.
struct RunFacts {
  std::wstring initialSetupPathname;
  std::wstring setupTempFolder;
  std::wstring downloadSite;
  std::wstring applicationName;
  std::wstring installationTime;
};

// Writes the User Info File, named by "User Info Filename", inside `folder`. False when the name
// is not a plain file name, the text does not fit the conversion buffer, or writing fails.
bool WriteUserInfoFile(const SetupDescription& description, const std::wstring& folder,
                       const RunFacts& facts);
