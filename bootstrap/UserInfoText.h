#pragma once
// The text of the User Info File: what the final setup is told about this run.
#include <string>

struct UserInfo {
  std::wstring initialSetupPathname;
  std::wstring setupTempFolder;
  std::wstring downloadSite;
  std::wstring startMenuFolder;
  std::wstring desktopFolder;
  std::wstring myDocumentsFolder;
  std::wstring applicationName;
  std::wstring installedOnGmTime;
};

// Comment line, blank line, eight sections (header, value, blank line), "[End]" and "End",
// every line ended by a single line feed. Values are written as they are.
std::wstring ComposeUserInfoText(const UserInfo& info);
