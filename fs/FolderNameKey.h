#pragma once
// Application names as the file system compares folder names: letter case ignored. The setup
// temp folder, the one-run-per-application lock and a signed description's [Application] all
// compare names this way.
#include <string>

// `name` upper-cased by the system's rules; two names are the same when their keys are.
std::wstring FolderNameKey(const std::wstring& name);
