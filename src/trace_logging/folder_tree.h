#pragma once
#include <string>

// File-system steps of the assistant's ETL folder.

// path + one backslash + part, without the backslash when path is empty or already ends in
// "\" or "/"; leading separators of part are dropped.
std::wstring JoinPath(const std::wstring& path, const wchar_t* part);

// Creates path and any missing parents; true when it exists afterwards as far as
// CreateDirectoryW can tell (created now or already there).
bool EnsureDirectory(const std::wstring& path);

// Deletes path with everything in it, clearing read-only attributes where needed. Links
// (reparse points) are never followed: the link itself is removed where the system removes
// links, otherwise it stays. False when anything stays; GetLastError tells the last reason,
// e.g. ERROR_DIR_NOT_EMPTY when a file was still in use.
bool DeleteFolder(const std::wstring& path);
