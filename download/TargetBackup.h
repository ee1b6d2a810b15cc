#pragma once
// The target of one transfer and the copy it held before: that copy waits under the target's
// name + " Before Download" while the attempts run, and comes back when one fails.
#include <string>

struct TargetPath {
  std::wstring full;
  std::wstring folder;  // without trailing backslash
  std::wstring name;
};

TargetPath SplitTarget(const std::wstring& target);

// Keeps the current copy under the backup name unless an older backup holds that name.
// True when a copy existed, which a failed attempt then puts back.
bool BackUp(const TargetPath& path);

// After a failed attempt whose bytes are not kept: deletes them, and puts the copy back when
// BackUp made one.
void RemoveAndRestore(const TargetPath& path, bool backedUp);
