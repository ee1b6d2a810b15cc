#pragma once
// The download phase: the description (local copy or default host), the site, every listed file.
#include <windows.h>

#include <optional>
#include <string>

#include "bootstrap/Sinks.h"
#include "description/DescriptionPlatform.h"
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

// Why the phase gave up. Each has its message for the user and its reason line.
enum class AcquireFailure {
  kNone,
  kLocalDescriptionRefused,   // the copy next to the executable does not load
  kFolderLinkNotRemoved,      // a link in place of the setup temp folder or its parent stays
  kFolderNotCreated,
  kNoConnection,              // before the description, or before the listed files
  kNoDefaultHost,             // neither default host offers the description
  kDescriptionNotDownloaded,
  kDescriptionRefused,        // the description in the setup temp folder does not load
  kNoDownloadSite,            // no host of "Download Sites" qualifies
  kTargetNotPlainFileName,    // a listed target that would land outside the folder
  kFileNotDownloaded,         // failed, and no copy that counts is present
};

struct AcquireResult {
  AcquireFailure failure = AcquireFailure::kNone;
  // The Win32 error read right after the failing call; 0 when the failure has none.
  DWORD error = 0;
  // The site the listed files come from; empty when the description lists none.
  std::wstring downloadSite;
  // The description the phase loaded, once every listed file is in the folder; nothing after a
  // failure.
  std::optional<SetupDescription> description;

  bool Succeeded() const { return failure == AcquireFailure::kNone; }
};

// Recreates the setup temp folder, loads the description as `platform` reads and judges it and
// fetches every listed file into the folder, sizing the bar to their total first. Each failure
// writes its reason line (LogFailure) and is shown through `showMessage` before the result says
// so. The whole phase runs once per downloader.
AcquireResult AcquireSetup(const DescriptionPlatform& platform, Downloader& downloader,
                           const AcquireRequest& request, const ProgressSink& progress,
                           const MessageSink& showMessage);
