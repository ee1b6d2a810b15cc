#include "app/ModulePaths.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "fs/FileOperations.h"
#include "tests/support/TempFolder.h"

namespace {

class ModulePathsTest : public testing::Test {
 protected:
  // An executable with a long name in a folder with a long name, and its short path.
  void SetUp() override {
    const std::wstring folder = temp / L"A long folder name";
    ASSERT_TRUE(CreateFolderPath(folder));
    exe = folder + L"\\Setup_Reader_x version two.exe";
    WriteFileBytes(exe, "MZ");
    wchar_t buffer[MAX_PATH] = {};
    ASSERT_NE(::GetShortPathNameW(exe.c_str(), buffer, MAX_PATH), 0u);
    shortPath = buffer;
    ASSERT_NE(shortPath, exe);
  }

  TempFolder temp;
  std::wstring exe, shortPath;
};

TEST_F(ModulePathsTest, AShortModulePathGivesTheLongPathAndTheLongNameAsTitleAndApplication) {
  const ModulePaths paths = DescribeModulePath(shortPath);
  EXPECT_EQ(paths.reported, shortPath);
  EXPECT_EQ(paths.longForm, exe);
  EXPECT_EQ(paths.title, L"Setup_Reader_x version two");
  EXPECT_EQ(paths.applicationName, L"Reader");  // the short name has one underscore at most
}

TEST_F(ModulePathsTest, WithoutALongFormTheTitleIsTheShortName) {
  ASSERT_TRUE(::DeleteFileW(exe.c_str()));  // the long form of a path that is gone cannot be had
  const ModulePaths paths = DescribeModulePath(shortPath);
  EXPECT_EQ(paths.longForm, L"");
  EXPECT_EQ(paths.applicationName, L"Local");
  const std::wstring shortName = shortPath.substr(shortPath.rfind(L'\\') + 1);
  ASSERT_NE(shortName.find(L'.'), std::wstring::npos);
  EXPECT_EQ(paths.title, shortName.substr(0, shortName.rfind(L'.')));
  EXPECT_FALSE(paths.title.empty());
}

}  // namespace
