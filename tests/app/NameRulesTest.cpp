#include "app/NameRules.h"

#include <gtest/gtest.h>

namespace {

struct NameCase {
  const wchar_t* fileName;
  const wchar_t* applicationName;
};

class ApplicationNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(ApplicationNameTest, TakesTheTextBetweenTheFirstTwoUnderscores) {
  EXPECT_EQ(DeriveApplicationName(GetParam().fileName), GetParam().applicationName);
}

INSTANTIATE_TEST_SUITE_P(
    FileNames, ApplicationNameTest,
    testing::Values(NameCase{L"Setup_Reader_x.exe", L"Reader"}, NameCase{L"Setup_Reader.exe", L"Local"},
                    NameCase{L"Setup.exe", L"Local"}, NameCase{L"Setup__x.exe", L"Local"},
                    NameCase{L"A_B_C_D.exe", L"B"}, NameCase{L"Setup_Demo_1.exe", L"Demo"},
                    NameCase{L"_X_", L"X"}, NameCase{L"", L"Local"},
                    NameCase{L"Setup_Velmar's Tool_2.exe", L"Velmar's Tool"}));

TEST(SetupTempFolderTest, AppendsTheProjectsFolderAndTheNameWithSetup) {
  EXPECT_EQ(ComposeSetupTempFolder(L"C:\\Temp", L"Reader"), L"C:\\Temp\\Velmar's Projects\\ReaderSetup");
  EXPECT_EQ(ComposeSetupTempFolder(L"C:\\Temp", L"Local"), L"C:\\Temp\\Velmar's Projects\\LocalSetup");
}

TEST(SetupTempFolderTest, WithoutATempFolderItIsRelativeToTheDriveRoot) {
  EXPECT_EQ(ComposeSetupTempFolder(L"", L"Reader"), L"\\Velmar's Projects\\ReaderSetup");
}

TEST(InstallationTimeTest, FormatsDayMonthYearAndTimeInUtc) {
  EXPECT_EQ(FormatInstallationTime(0), L"01-01-1970 00:00:00");
  EXPECT_EQ(FormatInstallationTime(1796638449), L"07-12-2026 10:14:09");
  EXPECT_EQ(FormatInstallationTime(951782400), L"29-02-2000 00:00:00");
}

}  // namespace
