#include "bootstrap/UserInfoText.h"

namespace {
void AppendSection(std::wstring& text, const wchar_t* name, const std::wstring& value) {
  text += L"[";
  text += name;
  text += L"]\n";
  text += value;
  text += L"\n\n";
}
}  // namespace

std::wstring ComposeUserInfoText(const UserInfo& info) {
  std::wstring text = L"// User specific info.\n\n";
  AppendSection(text, L"Initial Setup Pathname", info.initialSetupPathname);
  AppendSection(text, L"Setup Temp Folder", info.setupTempFolder);
  AppendSection(text, L"Download Site", info.downloadSite);
  AppendSection(text, L"Start Menu Folder", info.startMenuFolder);
  AppendSection(text, L"Desktop Folder", info.desktopFolder);
  AppendSection(text, L"My Documents Folder", info.myDocumentsFolder);
  AppendSection(text, L"Application Name", info.applicationName);
  AppendSection(text, L"Installed on GM Time", info.installedOnGmTime);
  text += L"[End]\nEnd\n";
  return text;
}
