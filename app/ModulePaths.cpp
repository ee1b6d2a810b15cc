#include "app/ModulePaths.h"

#include <windows.h>

#include "app/NameRules.h"
#include "fs/FolderServices.h"

namespace {
constexpr DWORD kModulePathBuffer = 260;
}  // namespace

ModulePaths DescribeModulePath(const std::wstring& reported) {
  ModulePaths paths;
  paths.reported = reported;
  paths.longForm = LongPathOf(reported);
  paths.title = ProgramTitle(paths.longForm.empty() ? reported : paths.longForm);
  std::wstring folder, fileName;
  SplitPath(paths.longForm, folder, fileName);
  paths.applicationName = DeriveApplicationName(fileName);
  return paths;
}

ModulePaths ReadModulePaths() {
  wchar_t modulePath[kModulePathBuffer] = {};
  ::GetModuleFileNameW(nullptr, modulePath, kModulePathBuffer);
  return DescribeModulePath(modulePath);
}
