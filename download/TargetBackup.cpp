#include "download/TargetBackup.h"

#include "fs/FileOperations.h"
#include "fs/PathText.h"

namespace {
const wchar_t kBackupSuffix[] = L" Before Download";
}  // namespace

TargetPath SplitTarget(const std::wstring& target) {
  TargetPath path{target, L"", L""};
  SplitPath(target, path.folder, path.name);
  path.folder = WithoutTrailingBackslash(path.folder);
  // A bare name lives in the current folder, never in the root of the current drive.
  if (path.folder.empty() && target.find(L'\\') == std::wstring::npos) path.folder = L".";
  return path;
}

bool BackUp(const TargetPath& path) {
  if (!FileExists(path.full)) return false;
  if (!FileExists(path.full + kBackupSuffix)) {
    MoveFileInFolder(path.folder, path.name, path.name + kBackupSuffix);
  }
  return true;
}

void RemoveAndRestore(const TargetPath& path, bool backedUp) {
  DeleteFileInFolder(path.folder, path.name);
  if (backedUp) MoveFileInFolder(path.folder, path.name + kBackupSuffix, path.name);
}
