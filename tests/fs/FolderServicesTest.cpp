#include "fs/ApplicationFolder.h"
#include "fs/FileOperations.h"
#include "fs/SystemFolders.h"

#include <gtest/gtest.h>

#include "base/AnsiText.h"
#include "base/Clock.h"
#include "base/UniqueHandle.h"
#include "tests/support/FakeClock.h"
#include "tests/support/TempFolder.h"

namespace {

class FolderServicesTest : public testing::Test {
 protected:
  TempFolder temp;
  FakeClock clock;
};

TEST(ApplicationFolderTest, KeepsTheLowerCasedFolderWithItsBackslash) {
  SetApplicationFolder(L"C:\\X\\Y.HLP");
  EXPECT_EQ(GetApplicationFolder(), L"c:\\x\\");
  SetApplicationFolder(L"NoBackslash.HLP");
  EXPECT_EQ(GetApplicationFolder(), L"\\");
  SetApplicationFolder(L"C:\\Downloads\\Setup_Reader_x.HLP");
  EXPECT_EQ(GetApplicationFolder(), L"c:\\downloads\\");
}

TEST(TicksSinceTest, IsRightAcrossTheWrapAround) {
  FakeClock clock(5);
  EXPECT_EQ(TicksSince(0xFFFFFFF0u), 21u);
  EXPECT_EQ(TicksSince(5), 0u);
  FakeClock::Advance(20000);
  EXPECT_EQ(TicksSince(5), 20000u);
}

class TempPathTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = Variable(L"TMP");
    savedTemp_ = Variable(L"TEMP");
  }
  void TearDown() override {
    ::SetEnvironmentVariableW(L"TMP", saved_.c_str());
    ::SetEnvironmentVariableW(L"TEMP", savedTemp_.c_str());
  }
  static std::wstring Variable(const wchar_t* name) {
    wchar_t buffer[32768] = {};
    ::GetEnvironmentVariableW(name, buffer, 32768);
    return buffer;
  }
  TempFolder temp;

 private:
  std::wstring saved_, savedTemp_;
};

TEST_F(TempPathTest, RemovesExactlyOneTrailingBackslash) {
  ::SetEnvironmentVariableW(L"TMP", (temp.path() + L"\\").c_str());
  EXPECT_EQ(GetTempFolder(), temp.path());
}

// Wine answers a TMP of 260 characters or more with an error (Windows gives it whole, which
// growing_buffer_test covers); either way no cut-off path comes back.
TEST_F(TempPathTest, ATempPathTheSystemCannotGiveGivesNothing) {
  std::wstring longPath = temp.path() + L"\\";
  while (longPath.size() < 300) longPath += L"abcdefghij\\";
  ::SetEnvironmentVariableW(L"TMP", longPath.c_str());
  ::SetEnvironmentVariableW(L"TEMP", longPath.c_str());
  EXPECT_EQ(GetTempFolder(), L"");
}

TEST(SystemFoldersTest, AreAbsoluteAndHaveNoTrailingBackslash) {
  for (const std::wstring& folder : {GetTempFolder(), GetProgramFilesFolder(), GetDesktopFolder(),
                                     GetMyDocumentsFolder(), GetStartMenuFolder()}) {
    ASSERT_GE(folder.size(), 3u) << Narrow(folder);
    EXPECT_EQ(folder[1], L':') << Narrow(folder);
    EXPECT_NE(folder.back(), L'\\') << Narrow(folder);
  }
  EXPECT_TRUE(PathExists(GetStartMenuFolder()));
}

TEST_F(FolderServicesTest, FileExistsFindsFilesAndFoldersAndRelativeNames) {
  WriteFileBytes(temp / L"a.txt", "a");
  EXPECT_TRUE(FileExists(temp / L"a.txt"));
  EXPECT_TRUE(FileExists(temp.path()));
  EXPECT_FALSE(FileExists(temp / L"missing.txt"));
  ASSERT_TRUE(::SetCurrentDirectoryW(temp.path().c_str()));
  EXPECT_TRUE(FileExists(L"a.txt"));
  EXPECT_FALSE(FileExists(L""));
}

TEST_F(FolderServicesTest, ShortPathsTurnIntoLongOnesSoTheUnderscoresOfTheLongNameCount) {
  const std::wstring folder = temp / L"A long folder name";
  ASSERT_TRUE(CreateFolderPath(folder));
  const std::wstring exe = folder + L"\\Setup_Reader_x version two.exe";
  WriteFileBytes(exe, "MZ");
  wchar_t shortPath[MAX_PATH] = {};
  ASSERT_NE(::GetShortPathNameW(exe.c_str(), shortPath, MAX_PATH), 0u);
  ASSERT_NE(std::wstring(shortPath), exe);
  EXPECT_EQ(LongPathOf(shortPath), exe);
  EXPECT_EQ(LongPathOf(temp / L"missing\\file.exe"), L"");
}

TEST_F(FolderServicesTest, DeleteFileInFolderCountsAMissingFileAsDeleted) {
  WriteFileBytes(temp / L"ro.txt", "x");
  ::SetFileAttributesW((temp / L"ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(DeleteFileInFolder(temp.path(), L"ro.txt"));
  EXPECT_FALSE(PathExists(temp / L"ro.txt"));
  EXPECT_TRUE(DeleteFileInFolder(temp.path() + L"\\", L"never-there.txt"));
  EXPECT_FALSE(DeleteFileInFolder(temp / L"no-such-folder", L"x.txt"));
}

TEST_F(FolderServicesTest, MoveFileInFolderMovesReadOnlyFilesButNeverOntoAnExistingName) {
  WriteFileBytes(temp / L"a", "first");
  ::SetFileAttributesW((temp / L"a").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(MoveFileInFolder(temp.path(), L"a", L"b"));
  EXPECT_EQ(ReadFileBytes(temp / L"b"), "first");
  WriteFileBytes(temp / L"c", "second");
  EXPECT_FALSE(MoveFileInFolder(temp.path() + L"\\", L"c", L"b"));
  EXPECT_EQ(ReadFileBytes(temp / L"b"), "first");
  EXPECT_EQ(ReadFileBytes(temp / L"c"), "second");
  EXPECT_FALSE(MoveFileInFolder(temp.path(), L"missing", L"d"));
}

// A file opened without sharing, as a scanner holds it, let go after a number of pauses.
UniqueFileHandle heldFile;
int pausesBeforeLettingGo = 0;
void PauseThenMaybeLetGo(DWORD milliseconds) {
  FakeClock::Advance(milliseconds);
  if (--pausesBeforeLettingGo == 0) heldFile.reset();
}

TEST_F(FolderServicesTest, RenamesAndDeletesWaitForAFileHeldWithoutSharingForAtMost10Seconds) {
  const struct {
    bool move;
    int pauses;  // before the holder lets go; 0: never
    bool done;
  } cases[] = {{true, 3, true}, {false, 3, true}, {true, 0, false}, {false, 0, false}};
  for (const auto& c : cases) {
    const std::wstring name = c.move ? L"moved.exe" : L"deleted.exe";
    WriteFileBytes(temp / name, "MZ");
    heldFile.reset(::CreateFileW((temp / name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(heldFile);
    pausesBeforeLettingGo = c.pauses;
    const FakeClock caseClock;
    const clock_seam::SleepFunction fakeSleep = clock_seam::SetSleepForTesting(PauseThenMaybeLetGo);
    const bool done = c.move ? MoveFileInFolder(temp.path(), name, L"new.exe") : DeleteFileInFolder(temp.path(), name);
    clock_seam::SetSleepForTesting(fakeSleep);
    EXPECT_EQ(done, c.done) << Narrow(name) << " " << c.pauses;
    EXPECT_EQ(FakeClock::Now() - 1000, c.done ? 750u : 10000u) << Narrow(name) << " " << c.pauses;
    heldFile.reset();
    EXPECT_EQ(PathExists(temp / name), !c.done);
    ::DeleteFileW((temp / name).c_str());
    ::DeleteFileW((temp / L"new.exe").c_str());
  }
}

TEST_F(FolderServicesTest, CreateFolderPathCreatesEveryLevelAndAcceptsExistingOnes) {
  const std::wstring deep = temp / L"one\\two\\three";
  EXPECT_TRUE(CreateFolderPath(deep));
  EXPECT_TRUE(PathExists(deep));
  EXPECT_TRUE(CreateFolderPath(deep));
  EXPECT_TRUE(CreateFolderPath(deep + L"\\"));
  EXPECT_TRUE(CreateFolderPath(L"no-backslash-here"));
  EXPECT_FALSE(PathExists(L"no-backslash-here"));
  WriteFileBytes(temp / L"file", "x");
  EXPECT_FALSE(CreateFolderPath(temp / L"file\\below"));
}

TEST_F(FolderServicesTest, DeleteFolderRemovesFilesOfEveryKindAndTheFolder) {
  const std::wstring folder = temp / L"work";
  ASSERT_TRUE(CreateFolderPath(folder));
  for (const wchar_t* name : {L"plain", L"hidden", L"readonly", L"system"}) WriteFileBytes(folder + L"\\" + name, "x");
  ::SetFileAttributesW((folder + L"\\hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
  ::SetFileAttributesW((folder + L"\\readonly").c_str(), FILE_ATTRIBUTE_READONLY);
  ::SetFileAttributesW((folder + L"\\system").c_str(), FILE_ATTRIBUTE_SYSTEM);
  EXPECT_TRUE(DeleteFolder(folder));
  EXPECT_FALSE(PathExists(folder));
  EXPECT_TRUE(FakeClock::Sleeps().empty());
}

TEST_F(FolderServicesTest, DeleteFolderWithASubfolderDeletesFilesAndGivesUpAfterThreeAttempts) {
  const std::wstring folder = temp / L"work";
  ASSERT_TRUE(CreateFolderPath(folder + L"\\sub"));
  WriteFileBytes(folder + L"\\a", "x");
  WriteFileBytes(folder + L"\\sub\\kept", "x");
  EXPECT_FALSE(DeleteFolder(folder));
  EXPECT_FALSE(PathExists(folder + L"\\a"));
  EXPECT_TRUE(PathExists(folder + L"\\sub\\kept"));
  EXPECT_EQ(FakeClock::Sleeps(), (std::vector<DWORD>{1000, 1000}));
}

TEST_F(FolderServicesTest, DeleteFolderOfAMissingFolderFailsAtOnce) {
  EXPECT_FALSE(DeleteFolder(temp / L"missing"));
  EXPECT_TRUE(FakeClock::Sleeps().empty());
}

TEST_F(FolderServicesTest, CopyFileToFolderReplacesAReadOnlyCopy) {
  ASSERT_TRUE(CreateFolderPath(temp / L"to"));
  WriteFileBytes(temp / L"src.bin", "new");
  WriteFileBytes(temp / L"to\\src.bin", "old");
  ::SetFileAttributesW((temp / L"to\\src.bin").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(CopyFileToFolder(temp / L"src.bin", temp / L"to"));
  EXPECT_EQ(ReadFileBytes(temp / L"to\\src.bin"), "new");
  EXPECT_FALSE(CopyFileToFolder(temp / L"missing.bin", temp / L"to"));
  EXPECT_FALSE(CopyFileToFolder(temp / L"src.bin", temp / L"no-folder"));
}

TEST_F(FolderServicesTest, FileExistsNeverReadsANameAsAPattern) {
  WriteFileBytes(temp / L"setup.exe", "x");
  for (const wchar_t* name : {L"*", L"*.exe", L"setup.ex?", L"?etup.exe"}) {
    EXPECT_FALSE(FileExists(temp / name)) << Narrow(name);
  }
}

// A folder link made by the test's fixture: Wine shows a Unix symbolic link as a reparse point,
// and cannot make one through the Windows calls.
class FolderLinkTest : public testing::Test {
 protected:
  static std::wstring WindowsPath(const std::string& unixPath) {
    std::wstring path = L"Z:";
    for (const char c : unixPath) path.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(c));
    return path;
  }
  const std::wstring root = WindowsPath(FOLDER_LINK_FIXTURE);
  const std::wstring link = root + L"\\link";
  const std::wstring kept = root + L"\\target\\keep.txt";
  FakeClock clock;
};

TEST_F(FolderLinkTest, DeleteFolderRemovesALinkButNeverTheFilesItPointsTo) {
  ASSERT_TRUE(IsReparsePoint(link));
  const bool removed = DeleteFolder(link);
  EXPECT_TRUE(PathExists(kept));
  EXPECT_EQ(removed, !PathExists(link));
}

TEST_F(FolderLinkTest, RemoveLinkedFoldersTakesLinksAwayOrFailsButNeverEntersThem) {
  const std::wstring setupFolder = link + L"\\ReaderSetup";
  const bool removed = RemoveLinkedFolders(setupFolder);
  EXPECT_TRUE(PathExists(kept));
  EXPECT_EQ(removed, !IsReparsePoint(link));
  EXPECT_FALSE(IsReparsePoint(root + L"\\target"));
  EXPECT_TRUE(RemoveLinkedFolders(root + L"\\target\\ReaderSetup"));
  EXPECT_TRUE(PathExists(root + L"\\target"));
}

TEST(AnsiTextTest, ToAnsiBufferIsZeroFilledAndNeverLongerThan1500Bytes) {
  std::vector<char> small = ToAnsiBuffer(L"abc\n");
  ASSERT_EQ(small.size(), 1500u);
  EXPECT_EQ(std::string(small.data(), 4), "abc\n");
  for (std::size_t i = 4; i < small.size(); ++i) ASSERT_EQ(small[i], '\0') << i;

  const std::wstring exact(1500, L'x');
  EXPECT_EQ(AnsiByteCount(exact), 1500);
  std::vector<char> full = ToAnsiBuffer(exact);
  EXPECT_EQ(std::string(full.begin(), full.end()), std::string(1500, 'x'));

  const std::wstring tooLong(1501, L'y');
  EXPECT_EQ(AnsiByteCount(tooLong), 1501);
  EXPECT_EQ(ToAnsiBuffer(tooLong).size(), 1500u);
}

TEST(AnsiTextTest, AnsiToWideStopsAtTheFirstNul) {
  EXPECT_EQ(AnsiToWide(std::string("ab\0cd", 5)), L"ab");
  EXPECT_EQ(AnsiToWide(""), L"");
  EXPECT_EQ(AnsiToWide("[End]\nEnd"), L"[End]\nEnd");
}

}  // namespace
