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
  kNotConverted,  // the text cannot be converted to the ANSI code page
  kTooLong,       // the text does not fit the conversion buffer: refused, not cut off
  kNotWritten,    // creating, writing or closing the file failed
};

struct UserInfoOutcome {
  UserInfoFailure failure = UserInfoFailure::kNone;
  // The Win32 error read right after the failing call; 0 when the failure has none.
  DWORD error = 0;

  bool Succeeded() const { return failure == UserInfoFailure::kNone; }
};

// Writes the User Info File, named by "User Info Filename", inside `folder`: what `info` says
// of this run, with its three system folders (start menu, desktop, documents) asked for now,
// when the file is written. A failure writes its reason line (LogFailure).
UserInfoOutcome WriteUserInfoFile(const SetupDescription& description, const std::wstring& folder, UserInfo info);
