#pragma once
// The executable's path, read once at start-up, and the title and application name derived
// from it.
#include <string>

struct ModulePaths {
  // As the system reports it (possibly in short form).
  std::wstring reported;
  // In long form, so that the underscores of the long name count; empty when it cannot be had.
  std::wstring longForm;
  // Caption of the message boxes: the long file name without its extension, or the reported
  // one when there is no long form.
  std::wstring title;
  // The application this run serves, named by the long file name (DeriveApplicationName).
  std::wstring applicationName;
};

// What the program derives from the module path `reported`.
ModulePaths DescribeModulePath(const std::wstring& reported);

// The same for this executable.
ModulePaths ReadModulePaths();
