#include "bootstrap/UserInfoText.h"

#include <gtest/gtest.h>

namespace {

UserInfo SampleInfo() {
  UserInfo info;
  info.initialSetupPathname = L"C:\\Downloads\\Setup_Reader_x.exe";
  info.setupTempFolder = L"C:\\Temp\\Velmar's Projects\\ReaderSetup";
  info.downloadSite = L"dl.example.test:8080";
  info.startMenuFolder = L"C:\\Start";
  info.desktopFolder = L"C:\\Desk";
  info.myDocumentsFolder = L"C:\\Docs";
  info.applicationName = L"Reader";
  info.installedOnGmTime = L"07-12-2026 10:14:09";
  return info;
}

TEST(UserInfoTextTest, HasTheExactLayout) {
  EXPECT_EQ(ComposeUserInfoText(SampleInfo()),
            L"// User specific info.\n\n"
            L"[Initial Setup Pathname]\nC:\\Downloads\\Setup_Reader_x.exe\n\n"
            L"[Setup Temp Folder]\nC:\\Temp\\Velmar's Projects\\ReaderSetup\n\n"
            L"[Download Site]\ndl.example.test:8080\n\n"
            L"[Start Menu Folder]\nC:\\Start\n\n"
            L"[Desktop Folder]\nC:\\Desk\n\n"
            L"[My Documents Folder]\nC:\\Docs\n\n"
            L"[Application Name]\nReader\n\n"
            L"[Installed on GM Time]\n07-12-2026 10:14:09\n\n"
            L"[End]\nEnd\n");
}

TEST(UserInfoTextTest, EmptyValuesKeepTheirLinesAndTheFileHas28Lines) {
  const std::wstring text = ComposeUserInfoText(UserInfo{});
  int lineFeeds = 0;
  for (wchar_t c : text) lineFeeds += (c == L'\n');
  EXPECT_EQ(lineFeeds, 28);
  EXPECT_NE(text.find(L"[Download Site]\n\n\n[Start Menu Folder]"), std::wstring::npos);
  EXPECT_EQ(text.find(L'\r'), std::wstring::npos);
  EXPECT_EQ(text.substr(text.size() - 11), L"\n[End]\nEnd\n");
}

}  // namespace
