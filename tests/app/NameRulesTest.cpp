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

struct PathCase {
  const wchar_t* path;
  const wchar_t* title;
  const wchar_t* helpFile;
};

class ModulePathTextTest : public testing::TestWithParam<PathCase> {};

// A dot in a folder name must neither cut the title nor move the help file's extension.
TEST_P(ModulePathTextTest, TitleIsTheFileNameWithoutExtensionAndTheHelpFileReplacesIt) {
  EXPECT_EQ(ProgramTitle(GetParam().path), GetParam().title);
  EXPECT_EQ(HelpFilePath(GetParam().path), GetParam().helpFile);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ModulePathTextTest,
    testing::Values(PathCase{L"C:\\Downloads\\Setup_Reader_x.exe", L"Setup_Reader_x", L"C:\\Downloads\\Setup_Reader_x.HLP"},
                    PathCase{L"C:\\v1.2\\Setup", L"Setup", L"C:\\v1.2\\Setup.HLP"},
                    PathCase{L"C:\\A\\Setup.tar.exe", L"Setup.tar", L"C:\\A\\Setup.tar.HLP"},
                    PathCase{L"Setup.exe", L"Setup", L"Setup.HLP"}, PathCase{L"", L"", L".HLP"}));

TEST(InstallationTimeTest, FormatsDayMonthYearAndTimeInUtc) {
  EXPECT_EQ(FormatInstallationTime(0), L"01-01-1970 00:00:00");
  EXPECT_EQ(FormatInstallationTime(1796638449), L"07-12-2026 10:14:09");
  EXPECT_EQ(FormatInstallationTime(951782400), L"29-02-2000 00:00:00");
}

}  // namespace
