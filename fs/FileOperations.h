#pragma once
// File and folder operations of Windows. None shows a message: each reports by a boolean or by
// an empty string, and the caller decides what the user is told.
#include <windows.h>

#include <string>

// The long form of `path` (each 8.3 component replaced by its long name); empty when the
// conversion fails.
std::wstring LongPathOf(const std::wstring& path);

// The short (8.3) form of the existing `path`; empty, with the Win32 error in `error`, when the
// call fails. Where a volume keeps no short names, components come back in their long form.
std::wstring ShortPathOf(const std::wstring& path, DWORD& error);

// True when an entry (file or folder) exists at `path`, made absolute against the current folder.
// The path is a name, never a pattern: one holding "*" or "?" names nothing.
bool FileExists(const std::wstring& path);
// True when `path` is a junction, symbolic link or mount point.
bool IsReparsePoint(const std::wstring& path);
// Renames inside `folder` (read-only files too); fails when `newName` exists. This and the
// delete below try again while another program holds the file (HeldFileRetry).
bool MoveFileInFolder(const std::wstring& folder, const std::wstring& oldName, const std::wstring& newName);
// Deletes folder\name (read-only too); a missing file counts as deleted, a missing folder does not.
bool DeleteFileInFolder(const std::wstring& folder, const std::wstring& name);
// Creates every level of `path` below its first backslash.
bool CreateFolderPath(const std::wstring& path);
// Deletes the files directly in `folder` (never entering subfolders), then removes the folder,
// three attempts one second apart. True when the folder is gone; false at once when it was
// not there. A folder that is a reparse
// point is removed as a link; the contents of its target are never deleted.
bool DeleteFolder(const std::wstring& folder);
// Removes `folder` and its parent where either is a junction, symbolic link or mount point (the
// link only, never its target's contents), so that CreateFolderPath then makes real folders.
// False when such a link could not be removed.
bool RemoveLinkedFolders(const std::wstring& folder);
// Copies `source` into `folder` under its own file name, replacing a read-only copy.
bool CopyFileToFolder(const std::wstring& source, const std::wstring& folder);
