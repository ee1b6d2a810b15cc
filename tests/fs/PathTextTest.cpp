#include "fs/PathText.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase {
  const wchar_t* path;
  const wchar_t* folder;
  const wchar_t* fileName;
};

class SplitPathTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitPathTest, SplitsAtTheLastBackslashKeepingItInTheFolder) {
  std::wstring folder = L"old", name = L"old";
  SplitPath(GetParam().path, folder, name);
  EXPECT_EQ(folder, GetParam().folder);
  EXPECT_EQ(name, GetParam().fileName);
  EXPECT_EQ(FolderOf(GetParam().path), GetParam().folder);
  EXPECT_EQ(FileNameOf(GetParam().path), GetParam().fileName);
}

INSTANTIATE_TEST_SUITE_P(Paths, SplitPathTest,
                         testing::Values(SplitCase{L"C:\\A\\b.txt", L"C:\\A\\", L"b.txt"},
                                         SplitCase{L"b.txt", L"", L"b.txt"},
                                         SplitCase{L"C:\\A\\", L"C:\\A\\", L""},
                                         SplitCase{L"\\x", L"\\", L"x"}, SplitCase{L"", L"", L""}));

TEST(JoinInFolderTest, InsertsABackslashOnlyWhenMissing) {
  EXPECT_EQ(JoinInFolder(L"C:\\A", L"b"), L"C:\\A\\b");
  EXPECT_EQ(JoinInFolder(L"C:\\A\\", L"b"), L"C:\\A\\b");
  EXPECT_EQ(WithoutTrailingBackslash(L"C:\\A\\\\"), L"C:\\A\\");
  EXPECT_EQ(WithoutTrailingBackslash(L""), L"");
}

TEST(PlainFileNameTest, AcceptsOnlyANameDirectlyInsideAFolder) {
  for (const wchar_t* good : {L"setup.exe", L"User Info.txt", L"a..b", L".hidden", L"Velmar's.dat",
                              L"CONSOLE.exe", L"nul0", L"COM10", L"LPT", L"COMA", L"my nul.txt", L"x.NUL"}) {
    EXPECT_TRUE(IsPlainFileName(good)) << static_cast<int>(std::wstring(good).size());
  }
  for (const wchar_t* bad : {L"", L".", L"..", L"..\\x", L"a\\b", L"a/b", L"/etc", L"C:x", L"C:\\x",
                             L"\\\\server\\share", L"x:stream", L"a\nb", L"tab\tname",
                             // patterns and characters the system refuses in names
                             L"*", L"*.exe", L"setup.ex?", L"a\"b", L"a<b", L"a>b", L"a|b",
                             // the system would drop the end and store another name
                             L"setup.exe.", L"setup.exe ", L"...",
                             // devices, in any case and with any extension
                             L"NUL", L"nul", L"CON", L"con.txt", L"PRN.exe", L"AUX", L"COM1",
                             L"com9.dat", L"LPT1", L"lpt3.txt", L"NUL .txt", L"CONIN$", L"conout$", L"COM0",
                             L"lpt\u00B9.txt", L"a?.txt", L"\"q\""}) {
    EXPECT_FALSE(IsPlainFileName(bad)) << static_cast<int>(std::wstring(bad).size());
  }
}

}  // namespace
