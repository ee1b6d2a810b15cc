#pragma once
// The folders the system names for the user, without a trailing backslash; empty when the
// system cannot supply one.
#include <string>

std::wstring GetTempFolder();
std::wstring GetProgramFilesFolder();
std::wstring GetDesktopFolder();
std::wstring GetMyDocumentsFolder();
std::wstring GetStartMenuFolder();  // created if missing
