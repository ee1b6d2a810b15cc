#pragma once
// Path rules that are plain text: no system call, built for Windows and natively.
#include <string>

// The split at the last '\': the folder keeps that backslash, the file name is the rest.
// Without a backslash the folder is empty and the file name is the whole path.
std::wstring FolderOf(const std::wstring& path);
std::wstring FileNameOf(const std::wstring& path);
// Both at once.
void SplitPath(const std::wstring& path, std::wstring& folder, std::wstring& fileName);

// folder + "\" + name, the backslash only when the folder does not already end with one.
std::wstring JoinInFolder(const std::wstring& folder, const std::wstring& name);

// Removes exactly one trailing backslash, if there is one.
std::wstring WithoutTrailingBackslash(std::wstring folder);

// True for a name that can only mean a file directly inside a folder: not empty, not "." or "..",
// no control characters, none of \ / : * ? " < > |, not ending in a dot or a space, and not a
// device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-9, LPT0-9 and superscript 1-3,
// with or without extension).
// Names from a description pass this test before anything is written or started.
bool IsPlainFileName(const std::wstring& name);
