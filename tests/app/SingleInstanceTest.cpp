#include "app/SingleInstance.h"

#include <gtest/gtest.h>

#include "app/NameRules.h"
#include "app/SetupApp.h"
#include "fs/FolderServices.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TempFolder.h"

namespace {

// A top-level window standing in for a running bootstrapper's progress window.
struct PlainWindow {
  PlainWindow()
      : handle(::CreateWindowExW(0, L"STATIC", L"running", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr)) {}
  ~PlainWindow() { ::DestroyWindow(handle); }
  HWND handle;
};

TEST(SingleInstanceTest, OneRunPerApplicationNameWhateverItsLetterCase) {
  const SingleInstance first(L"Reader");
  ASSERT_TRUE(first.IsFirst());
  EXPECT_EQ(first.BringOtherToFront(), nullptr);  // no window marked yet
  PlainWindow window;
  first.MarkWindow(window.handle);

  const SingleInstance second(L"READER");
  EXPECT_FALSE(second.IsFirst());
  EXPECT_EQ(second.BringOtherToFront(), window.handle);
  EXPECT_TRUE(SingleInstance(L"Writer").IsFirst());
}

TEST(SingleInstanceTest, ASecondRunShowsTheFirstAndLeavesItsFolderAlone) {
  // This program's own name gives the application name a bootstrap run of it would use.
  wchar_t module[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring folder, fileName;
  SplitPath(module, folder, fileName);
  const std::wstring application = DeriveApplicationName(fileName);
  const std::wstring setupFolder = ComposeSetupTempFolder(GetTempFolder(), application);
  ASSERT_TRUE(CreateFolderPath(setupFolder));
  WriteFileBytes(setupFolder + L"\\download-in-progress.bin", "partial");

  const SingleInstance running(application);
  PlainWindow window;
  running.MarkWindow(window.handle);
  MessageRecorder messages;
  SetupApp second(DefaultHosts{L"127.0.0.1:9", L"127.0.0.1:9"});
  EXPECT_FALSE(second.InitInstance());
  EXPECT_EQ(ReadFileBytes(setupFolder + L"\\download-in-progress.bin"), "partial");
  EXPECT_TRUE(MessageRecorder::Texts().empty());
  DeleteFolder(setupFolder);
}

}  // namespace
