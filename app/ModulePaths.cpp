#include "app/ModulePaths.h"

#include <windows.h>

#include "app/NameRules.h"
#include "base/GrowingBuffer.h"
#include "fs/FileOperations.h"
#include "fs/PathText.h"

ModulePaths DescribeModulePath(const std::wstring& reported) {
  ModulePaths paths;
  paths.reported = reported;
  paths.longForm = LongPathOf(reported);
  paths.title = ProgramTitle(paths.longForm.empty() ? reported : paths.longForm);
  paths.applicationName = DeriveApplicationName(FileNameOf(paths.longForm));
  return paths;
}

ModulePaths ReadModulePaths() {
  return DescribeModulePath(ReadGrowingText(
      [](wchar_t* buffer, DWORD size) { return ::GetModuleFileNameW(nullptr, buffer, size); }));
}
