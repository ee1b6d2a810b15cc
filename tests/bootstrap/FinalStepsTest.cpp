// The steps after the download: the User Info File and the launch of the final setup.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "bootstrap/DescriptionPlatformWin.h"
#include "bootstrap/LaunchFinalSetup.h"
#include "bootstrap/UserInfoFile.h"
#include "bootstrap/UserInfoText.h"
#include "description/LoadDescription.h"
#include "fs/SystemFolders.h"
#include "tests/support/DebugOutputListener.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TempFolder.h"

namespace {

std::string Description(const std::string& userInfoName, const std::string& program) {
  return "[User Info Filename]\n" + userInfoName + "\n[Program to run]\n" + program + "\n[End]\nEnd\n";
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring WindowsPath(const std::string& unixPath) {
  std::wstring path = L"Z:";
  for (char c : unixPath) path.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(c));
  return path;
}

class FinalStepsTest : public testing::Test {
 protected:
  void Load(const std::string& userInfoName, const std::string& program = "probe.exe") {
    LoadText(Description(userInfoName, program));
  }
  void LoadText(const std::string& plain) {
    LoadedDescription loaded = LoadPlainDescription(plain, WindowsDescriptionPlatform());
    ASSERT_TRUE(loaded.Accepted());
    description = std::move(loaded.Description());
  }
  // The file as the final setup reads it; the system folders are this machine's.
  std::string ExpectedUserInfo(const std::string& site) {
    return "// User specific info.\n\n"
           "[Initial Setup Pathname]\nC:\\Downloads\\Setup_Reader_x.exe\n\n"
           "[Setup Temp Folder]\n" + Narrow(temp.path()) + "\n\n"
           "[Download Site]\n" + site + "\n\n"
           "[Start Menu Folder]\n" + Narrow(GetStartMenuFolder()) + "\n\n"
           "[Desktop Folder]\n" + Narrow(GetDesktopFolder()) + "\n\n"
           "[My Documents Folder]\n" + Narrow(GetMyDocumentsFolder()) + "\n\n"
           "[Application Name]\nReader\n\n"
           "[Installed on GM Time]\n07-12-2026 10:14:09\n\n"
           "[End]\nEnd\n";
  }
  // The system folders are left to the writer.
  UserInfoFailure Write(const std::wstring& folder, const std::wstring& site = L"mirror.test:8080") {
    const UserInfo info{L"C:\\Downloads\\Setup_Reader_x.exe", temp.path(), site, {}, {}, {}, L"Reader",
                        L"07-12-2026 10:14:09"};
    return WriteUserInfoFile(description, folder, info).failure;
  }
  std::wstring LastFailureLine() {
    const std::vector<std::wstring> lines = debugOutput.FailureLines();
    return lines.empty() ? std::wstring() : lines.back();
  }

  MessageRecorder messages;
  DebugOutputListener debugOutput;
  TempFolder temp;
  SetupDescription description{WindowsDescriptionPlatform()};
};

TEST_F(FinalStepsTest, UserInfoFileHoldsTheExactTextInTheFolderWithOrWithoutBackslash) {
  Load("UserInfo.txt");
  for (const std::wstring& folder : {temp.path(), temp.path() + L"\\"}) {
    ASSERT_EQ(Write(folder), UserInfoFailure::kNone);
    EXPECT_EQ(ReadFileBytes(temp / L"UserInfo.txt"), ExpectedUserInfo("mirror.test:8080"));
  }
  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_TRUE(debugOutput.FailureLines().empty());
}

TEST_F(FinalStepsTest, UserInfoFileIsRecreatedNotAppendedAndKeepsAnEmptySite) {
  Load("UserInfo.txt");
  WriteFileBytes(temp / L"UserInfo.txt", std::string(5000, 'x'));
  ASSERT_EQ(Write(temp.path(), L""), UserInfoFailure::kNone);
  const std::string text = ReadFileBytes(temp / L"UserInfo.txt");
  EXPECT_EQ(text, ExpectedUserInfo(""));
  EXPECT_NE(text.find("[Download Site]\n\n\n"), std::string::npos);
}

TEST_F(FinalStepsTest, UserInfoFileIsRefusedWhenItCannotLandInTheFolder) {
  for (const char* name : {"", "..\\UserInfo.txt", "sub\\UserInfo.txt", "C:\\UserInfo.txt", "a/b"}) {
    Load(name);
    EXPECT_EQ(Write(temp.path()), UserInfoFailure::kNotAFileName) << name;
    EXPECT_EQ(LastFailureLine(), L"User Info File name \"" + Wide(name) + L"\" is not a plain file name");
  }
  Load("UserInfo.txt");
  EXPECT_EQ(Write(temp / L"missing-folder"), UserInfoFailure::kNotWritten);
  EXPECT_EQ(LastFailureLine(), L"User Info File " + temp.path() + L"\\missing-folder\\UserInfo.txt not created (error " +
                                   std::to_wstring(ERROR_PATH_NOT_FOUND) + L")");
}

TEST_F(FinalStepsTest, UserInfoTextLongerThanTheConversionBufferIsRefusedAndNothingWritten) {
  Load("UserInfo.txt");
  EXPECT_EQ(Write(temp.path(), std::wstring(1500, L's')), UserInfoFailure::kTooLong);
  EXPECT_FALSE(PathExists(temp / L"UserInfo.txt"));
  EXPECT_EQ(LastFailureLine().find(L"User Info File text of "), 0u);
}

// Under Wine's Western code page; Wine gives every existing file a short name.
TEST_F(FinalStepsTest, UserInfoPathsOutsideTheCodePageGoInTheirShortFormOrWithAReasonLine) {
  Load("UserInfo.txt");
  const std::wstring foreign = temp / L"\u0141\u00f3d\u017a \u6771\u4eac";
  ASSERT_TRUE(::CreateDirectoryW(foreign.c_str(), nullptr));
  const std::wstring missing = foreign + L"\\missing.exe";
  const UserInfo info{missing, foreign, L"site", {}, {}, {}, L"Reader", L"07-12-2026 10:14:09"};
  const UserInfoOutcome outcome = WriteUserInfoFile(description, temp.path(), info);
  EXPECT_TRUE(outcome.Succeeded());
  EXPECT_EQ(outcome.inexactPaths, 1);
  // The listener reads the line in the code page too.
  const std::wstring line = LastFailureLine();
  EXPECT_EQ(line.find(L"User Info File: " + temp.path() + L"\\"), 0u);
  const std::wstring reason =
      L"\\missing.exe has no exact form in the ANSI code page, nor a short form that has (error 2); written with stand-ins";
  EXPECT_EQ(line.substr(line.size() - std::min(line.size(), reason.size())), reason);
  const std::string text = ReadFileBytes(temp / L"UserInfo.txt");
  const std::string::size_type start = text.find("[Setup Temp Folder]\n") + 20;
  const std::string shortForm = text.substr(start, text.find('\n', start) - start);
  EXPECT_EQ(::GetFileAttributesA(shortForm.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY)) << shortForm;
}

TEST_F(FinalStepsTest, MissingUserInfoFilenameIsReportedByTheParserAndRefused) {
  LoadText("[End]\nEnd\n");
  EXPECT_EQ(Write(temp.path()), UserInfoFailure::kNotAFileName);
  ASSERT_EQ(MessageRecorder::Messages().size(), 1u);
  EXPECT_EQ(MessageRecorder::Messages()[0].caption, L"Ini Parser");
  EXPECT_EQ(MessageRecorder::Messages()[0].text, L"Tag 'User Info Filename' not found.");
}

class LaunchTest : public FinalStepsTest {
 protected:
  void SetUp() override { ASSERT_TRUE(::CopyFileW(WindowsPath(LAUNCH_PROBE_PATH).c_str(), (temp / L"probe.exe").c_str(), FALSE)); }
  // Records whether the window was closed before each message.
  LaunchOutcome Launch() {
    windowClosed = false;
    closedBeforeMessage.clear();
    return LaunchFinalSetup(description, temp.path(), nullptr, [this] { windowClosed = true; },
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
  EXPECT_TRUE(Launch().Succeeded());
  const std::string ran = ReadFileBytes(temp / L"ran.txt");
  EXPECT_EQ(ran, Narrow(temp.path()));
  EXPECT_TRUE(windowClosed);
  EXPECT_TRUE(shown.empty());
  EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(LaunchTest, AProgramThatCannotStartIsReportedAfterTheWindowIsGone) {
  const std::wstring missing = L"final setup " + temp.path() + L"\\missing.exe did not start (error " +
                               std::to_wstring(ERROR_FILE_NOT_FOUND) + L")";
  const struct {
    const char* program;
    LaunchFailure failure;
    std::wstring reason;
  } cases[] = {
      {"missing.exe", LaunchFailure::kNotStarted, missing},
      {"", LaunchFailure::kNotAFileName, L"final setup not started: \"\" is not a plain file name"},
      {"..\\probe.exe", LaunchFailure::kNotAFileName, L"final setup not started: \"..\\probe.exe\" is not a plain file name"},
      {"sub\\probe.exe", LaunchFailure::kNotAFileName, L"final setup not started: \"sub\\probe.exe\" is not a plain file name"},
  };
  for (const auto& k : cases) {
    const char* program = k.program;
    shown.clear();
    Load("UserInfo.txt", program);
    EXPECT_EQ(Launch().failure, k.failure) << program;
    EXPECT_EQ(LastFailureLine(), k.reason) << program;
    EXPECT_EQ(shown, std::vector<std::wstring>{L"Error: Failed to start the final setup."}) << program;
    EXPECT_EQ(closedBeforeMessage, std::vector<bool>{true}) << program;
    EXPECT_FALSE(PathExists(temp / L"ran.txt")) << program;
  }
}

}  // namespace
