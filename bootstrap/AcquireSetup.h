#pragma once
// The download phase: the description (local copy or default host), the site, every listed file.
#include <string>

#include "bootstrap/Sinks.h"
#include "description/SetupDescription.h"
#include "download/Downloader.h"

// The two hosts that serve the description; the second is asked when the first lacks it.
struct DefaultHosts {
  std::wstring first;
  std::wstring second;
};

struct AcquireRequest {
  std::wstring applicationName;
  std::wstring setupTempFolder;
  DefaultHosts hosts;
};

struct AcquireResult {
  bool succeeded = false;
  // The site the listed files come from; empty when the description lists none.
  std::wstring downloadSite;
};

// Recreates the setup temp folder, loads the description into `description` and fetches every
// listed file into the folder, sizing the bar to their total first. Each failure is reported
// through `showMessage` before the result says so. The whole phase runs once per description
// and downloader.
AcquireResult AcquireSetup(SetupDescription& description, Downloader& downloader,
                           const AcquireRequest& request, const ProgressSink& progress,
                           const MessageSink& showMessage);
