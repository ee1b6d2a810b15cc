#pragma once
// The plain text rules of start-up: no system call, built for Windows and natively.
#include <ctime>
#include <string>

// Text strictly between the first and the second '_' of an executable's file name (extension
// included); "Local" when there are fewer than two, they are adjacent, or the text is empty.
std::wstring DeriveApplicationName(const std::wstring& fileName);

// The file name after the last '\' of `path`, without its extension: the caption of the
// program's message boxes.
std::wstring ProgramTitle(const std::wstring& path);

// `path` with the extension of its file name replaced by ".HLP"; only its folder is used.
std::wstring HelpFilePath(std::wstring path);

// tempFolder + "\Velmar's Projects\" + applicationName + "Setup" (no trailing backslash).
std::wstring ComposeSetupTempFolder(const std::wstring& tempFolder, const std::wstring& applicationName);

// "%d-%m-%Y %H:%M:%S" of `when` in UTC; empty when the conversion or formatting fails.
std::wstring FormatInstallationTime(std::time_t when);
