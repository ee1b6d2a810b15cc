#pragma once
// The hand-over file for the final setup.
#include <windows.h>

#include <string>

#include "bootstrap/UserInfoText.h"
#include "description/SetupDescription.h"

// Why the file was not written.
enum class UserInfoFailure {
  kNone,
  kNotAFileName,  // "User Info Filename" is not a plain file name
  kNotConverted,  // the conversion to the ANSI code page failed (its Win32 error in `error`)
  kTooLong,       // the text does not fit the conversion buffer: refused, not cut off
  kNotWritten,    // creating, writing or closing the file failed
};

struct UserInfoOutcome {
  UserInfoFailure failure = UserInfoFailure::kNone;
  // The Win32 error read right after the failing call; 0 when the failure has none.
  DWORD error = 0;
  // Paths written with the code page's stand-ins, each with its reason line: the file is
  // written and the run goes on, but the final setup will not find what they name.
  int inexactPaths = 0;

  bool Succeeded() const { return failure == UserInfoFailure::kNone; }
};

// Writes the User Info File, named by "User Info Filename", inside `folder`: what `info` says
// of this run, with its three system folders (start menu, desktop, documents) asked for now,
// when the file is written. Each path is given in a form the ANSI code page holds exactly
// (UserInfoPaths); one without such a form is written as it converts, with a reason line, and
// does not fail the file. A failure writes its reason line (LogFailure).
UserInfoOutcome WriteUserInfoFile(const SetupDescription& description, const std::wstring& folder, UserInfo info);
