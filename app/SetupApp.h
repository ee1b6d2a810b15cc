#pragma once
// The application object: owns the window, the description and the downloader for the whole
// run; its initialisation step runs the bootstrap from the first window to the clean-up.
#include <windows.h>

#include <string>

#include "description/SetupDescription.h"
#include "download/Downloader.h"
#include "ui/ProgressWindow.h"

class SetupApp {
 public:
  SetupApp();
  virtual ~SetupApp();
  SetupApp(const SetupApp&) = delete;
  SetupApp& operator=(const SetupApp&) = delete;

  // Runs the whole bootstrap. Always false: no message loop follows.
  bool InitInstance();

  // Download phase: description, site, every listed file. Reports its own failures.
  bool AcquireSetup(std::wstring applicationName, std::wstring setupTempFolder, HWND window,
                    std::wstring& downloadSite);
  // First host of "Download Sites" that serves the first listed file with more than 1000 bytes.
  std::wstring ChooseDownloadSite();
  // Hand-over file for the final setup, named by "User Info Filename", inside `folder`.
  bool WriteUserInfoFile(std::wstring folder, std::wstring initialSetupPathname,
                         std::wstring setupTempFolder, std::wstring downloadSite,
                         std::wstring applicationName, std::wstring installationTime);
  // Starts "Program to run" from the setup temp folder, destroys the window, waits for its end.
  void LaunchFinalSetup(std::wstring setupTempFolder);

  // The bootstrap's message box: warning icon, OK button, captioned with the program's title.
  void ShowMessage(const std::wstring& text);

  ProgressWindow progressWindow;
  SetupDescription setupDescription;
  Downloader fileDownloader;

  // The two hosts that serve the description: build settings, replaced by tests.
  std::wstring defaultHost1;
  std::wstring defaultHost2;
};

// The platform's answers for the description code: ANSI conversion, folders, message box.
DescriptionPlatform WindowsDescriptionPlatform();
