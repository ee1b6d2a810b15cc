#include "fs/FolderNameKey.h"

#include <windows.h>

std::wstring FolderNameKey(const std::wstring& name) {
  std::wstring key = name;
  if (!key.empty()) ::CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
  return key;
}
