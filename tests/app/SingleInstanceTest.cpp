#include "app/SingleInstance.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "app/NameRules.h"
#include "app/SetupApp.h"
#include "fs/FileOperations.h"
#include "fs/PathText.h"
#include "fs/SystemFolders.h"
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

// Another run of `application`: holds its instance on a thread of its own until destroyed.
class OtherRun {
 public:
  OtherRun(const std::wstring& application, HWND window)
      : thread_([this, application, window] {
          const SingleInstance held(application);
          if (window != nullptr) held.MarkWindow(window);
          first_.set_value(held.IsFirst());
          end_.get_future().wait();
        }) {}
  ~OtherRun() {
    end_.set_value();
    thread_.join();
  }
  bool WasFirst() { return first_.get_future().get(); }

 private:
  std::promise<bool> first_;
  std::promise<void> end_;
  std::thread thread_;
};

TEST(SingleInstanceTest, OneRunPerApplicationNameWhateverItsLetterCase) {
  PlainWindow window;
  OtherRun running(L"Reader", window.handle);
  ASSERT_TRUE(running.WasFirst());

  const SingleInstance second(L"READER");
  EXPECT_FALSE(second.IsFirst());
  EXPECT_EQ(second.BringOtherToFront(), window.handle);
  EXPECT_TRUE(SingleInstance(L"Writer").IsFirst());
}

TEST(SingleInstanceTest, ARunThatEndedLeavesTheNameFree) {
  { OtherRun ended(L"Reader", nullptr); ASSERT_TRUE(ended.WasFirst()); }
  EXPECT_TRUE(SingleInstance(L"Reader").IsFirst());
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

  PlainWindow window;
  OtherRun running(application, window.handle);
  ASSERT_TRUE(running.WasFirst());
  MessageRecorder messages;
  SetupApp second(DefaultHosts{L"127.0.0.1:9", L"127.0.0.1:9"});
  EXPECT_FALSE(second.InitInstance());
  EXPECT_EQ(ReadFileBytes(setupFolder + L"\\download-in-progress.bin"), "partial");
  EXPECT_TRUE(MessageRecorder::Texts().empty());
  DeleteFolder(setupFolder);
}

}  // namespace
