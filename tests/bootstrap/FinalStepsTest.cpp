// The steps after the download: the User Info File and the launch of the final setup.
#include <gtest/gtest.h>

#include "bootstrap/DescriptionPlatformWin.h"
#include "bootstrap/LaunchFinalSetup.h"
#include "bootstrap/UserInfoFile.h"
#include "bootstrap/UserInfoText.h"
#include "fs/SystemFolders.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TempFolder.h"

namespace {

std::string Description(const std::string& userInfoName, const std::string& program) {
  return "[User Info Filename]\n" + userInfoName + "\n[Program to run]\n" + program + "\n[End]\nEnd\n";
}

std::wstring WindowsPath(const std::string& unixPath) {
  std::wstring path = L"Z:";
  for (char c : unixPath) path.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(c));
  return path;
}

class FinalStepsTest : public testing::Test {
 protected:
  void Load(const std::string& userInfoName, const std::string& program = "probe.exe") {
    ASSERT_TRUE(description.LoadPlainText(Description(userInfoName, program)));
  }
  std::string ExpectedUserInfo(const std::wstring& site) {
    UserInfo info{L"C:\\Downloads\\Setup_Reader_x.exe", temp.path(), site, GetStartMenuFolder(),
                  GetDesktopFolder(), GetMyDocumentsFolder(), L"Reader", L"07-12-2026 10:14:09"};
    return Narrow(ComposeUserInfoText(info));
  }
  bool Write(const std::wstring& folder, const std::wstring& site = L"mirror.test:8080") {
    return WriteUserInfoFile(description, folder,
                             {L"C:\\Downloads\\Setup_Reader_x.exe", temp.path(), site, L"Reader", L"07-12-2026 10:14:09"});
  }

  MessageRecorder messages;
  TempFolder temp;
  SetupDescription description{WindowsDescriptionPlatform()};
};

TEST_F(FinalStepsTest, UserInfoFileHoldsTheExactTextInTheFolderWithOrWithoutBackslash) {
  Load("UserInfo.txt");
  for (const std::wstring& folder : {temp.path(), temp.path() + L"\\"}) {
    ASSERT_TRUE(Write(folder));
    EXPECT_EQ(ReadFileBytes(temp / L"UserInfo.txt"), ExpectedUserInfo(L"mirror.test:8080"));
  }
  EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(FinalStepsTest, UserInfoFileIsRecreatedNotAppendedAndKeepsAnEmptySite) {
  Load("UserInfo.txt");
  WriteFileBytes(temp / L"UserInfo.txt", std::string(5000, 'x'));
  ASSERT_TRUE(Write(temp.path(), L""));
  const std::string text = ReadFileBytes(temp / L"UserInfo.txt");
  EXPECT_EQ(text, ExpectedUserInfo(L""));
  EXPECT_NE(text.find("[Download Site]\n\n\n"), std::string::npos);
}

TEST_F(FinalStepsTest, UserInfoFileIsRefusedWhenItCannotLandInTheFolder) {
  for (const char* name : {"", "..\\UserInfo.txt", "sub\\UserInfo.txt", "C:\\UserInfo.txt", "a/b"}) {
    Load(name);
    EXPECT_FALSE(Write(temp.path())) << name;
  }
  Load("UserInfo.txt");
  EXPECT_FALSE(Write(temp / L"missing-folder"));
}

TEST_F(FinalStepsTest, UserInfoTextLongerThanTheConversionBufferIsRefusedAndNothingWritten) {
  Load("UserInfo.txt");
  EXPECT_FALSE(Write(temp.path(), std::wstring(1500, L's')));
  EXPECT_FALSE(PathExists(temp / L"UserInfo.txt"));
}

TEST_F(FinalStepsTest, MissingUserInfoFilenameIsReportedByTheParserAndRefused) {
  ASSERT_TRUE(description.LoadPlainText("[End]\nEnd\n"));
  EXPECT_FALSE(Write(temp.path()));
  ASSERT_EQ(MessageRecorder::Messages().size(), 1u);
  EXPECT_EQ(MessageRecorder::Messages()[0].caption, L"Ini Parser");
  EXPECT_EQ(MessageRecorder::Messages()[0].text, L"Tag 'User Info Filename' not found.");
}

class LaunchTest : public FinalStepsTest {
 protected:
  void SetUp() override { ASSERT_TRUE(::CopyFileW(WindowsPath(LAUNCH_PROBE_PATH).c_str(), (temp / L"probe.exe").c_str(), FALSE)); }
  // Records whether the window was closed before each message.
  void Launch() {
    windowClosed = false;
    closedBeforeMessage.clear();
    LaunchFinalSetup(description, temp.path(), nullptr, [this] { windowClosed = true; },
                     [this](const std::wstring& text) {
                       shown.push_back(text);
                       closedBeforeMessage.push_back(windowClosed);
                     });
  }

  bool windowClosed = false;
  std::vector<std::wstring> shown;
  std::vector<bool> closedBeforeMessage;
};

TEST_F(LaunchTest, StartsTheProgramInTheFolderAndReturnsOnlyAfterItEnded) {
  Load("UserInfo.txt");
  WriteFileBytes(temp / L"sleep-ms.txt", "400");
  Launch();
  const std::string ran = ReadFileBytes(temp / L"ran.txt");
  EXPECT_EQ(ran, Narrow(temp.path()));
  EXPECT_TRUE(windowClosed);
  EXPECT_TRUE(shown.empty());
  EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(LaunchTest, AProgramThatCannotStartIsReportedAfterTheWindowIsGone) {
  for (const char* program : {"missing.exe", "", "..\\probe.exe", "sub\\probe.exe"}) {
    shown.clear();
    Load("UserInfo.txt", program);
    Launch();
    EXPECT_EQ(shown, std::vector<std::wstring>{L"Error: Failed to start the final setup."}) << program;
    EXPECT_EQ(closedBeforeMessage, std::vector<bool>{true}) << program;
    EXPECT_FALSE(PathExists(temp / L"ran.txt")) << program;
  }
}

}  // namespace
