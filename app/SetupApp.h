#pragma once
// The application object and the only place that knows every part of the program: it owns the
// window, the description's platform and the downloader for the whole run and hands each step of
// the bootstrap what that step uses. Its initialisation runs the bootstrap from the first window
// to the clean-up.
#include <string>

#include "app/ModulePaths.h"
#include "app/SingleInstance.h"
#include "bootstrap/AcquireSetup.h"
#include "bootstrap/Sinks.h"
#include "bootstrap/UserInfoFile.h"
#include "description/DescriptionPlatform.h"
#include "description/SetupDescription.h"
#include "download/Downloader.h"
#include "ui/ProgressWindow.h"

class SetupApp {
 public:
  // With the two hosts the build names.
  SetupApp();
  explicit SetupApp(DefaultHosts hosts);
  ~SetupApp();
  SetupApp(const SetupApp&) = delete;
  SetupApp& operator=(const SetupApp&) = delete;

  // Runs the whole bootstrap. Always false: no message loop follows.
  bool InitInstance();

  // Download phase: description, site, every listed file. Reports its own failures.
  AcquireResult AcquireSetup(const std::wstring& setupTempFolder);
  // Hand-over file for the final setup, named by `description`'s "User Info Filename", inside
  // the setup temp folder. Shows its message when it fails.
  bool WriteUserInfoFile(const SetupDescription& description, const UserInfo& info);
  // Starts `description`'s "Program to run" from the setup temp folder, destroys the window,
  // waits for its end.
  void LaunchFinalSetup(const SetupDescription& description, const std::wstring& setupTempFolder);

  // The bootstrap's message box: warning icon, OK button, captioned with the program's title.
  void ShowMessage(const std::wstring& text);

 private:
  MessageSink Messages();
  ProgressSink Progress();
  // Creates the window, marks it as this application's, makes it top-most and paints it.
  void ShowProgressWindow(const SingleInstance& instance);
  // Makes the application folder the current folder.
  void EnterApplicationFolder() const;

  const ModulePaths module_;
  const DefaultHosts hosts_;
  ProgressWindow progressWindow_;
  const DescriptionPlatform descriptionPlatform_;
  Downloader fileDownloader_;
};
