#pragma once
// Reaches the Linux side of Wine from a test: Wine starts Linux programs through
// CreateProcessW and names every Windows path's Linux counterpart. Used where Win32 cannot
// do the job under Wine: making a real symbolic link (CreateSymbolicLinkW is a stub there)
// and removing a tree without following links (Wine deletes through a link into its target).
// Wine hands back no process handle for a Linux program, so the helpers wait for the effect.
#include <string>

// Empty when not running under Wine or the path has no Linux counterpart.
std::string UnixPathOf(const std::wstring& windowsPath);
// A Linux symbolic link at link pointing to target (both Windows paths); true once it is there.
bool MakeUnixSymlink(const std::wstring& target, const std::wstring& link);
// Removes path and everything below it without following links; true once it is gone.
bool RemoveUnixTree(const std::wstring& path);
