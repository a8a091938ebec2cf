#include "trace_logging/folder_tree.h"

#include <windows.h>

#include <shlwapi.h>

#include <vector>

#include "sdk/unique_handle.h"

namespace {

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

bool IsDotEntry(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

bool IsReparsePoint(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

void ClearReadOnly(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        ::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
}

// Deletes the link itself, never what it points to: only through a handle that the system
// confirms is the reparse point. Where a link cannot be opened as such (Wine shows a Linux
// symbolic link as one, but opens its target), the link stays.
bool RemoveLink(const std::wstring& path)
{
    UniqueKernelHandle link(::CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                          nullptr));
    if (link.Get() == INVALID_HANDLE_VALUE)
    {
        link.Detach();
        return false;
    }
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!::GetFileInformationByHandleEx(link.Get(), FileAttributeTagInfo, &tag, sizeof tag) ||
        (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
    {
        ::SetLastError(ERROR_NOT_A_REPARSE_POINT);
        return false;
    }
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return ::SetFileInformationByHandle(link.Get(), FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

bool DeleteOneFile(const std::wstring& path)
{
    if (::DeleteFileW(path.c_str()))
        return true;
    if (::GetLastError() != ERROR_ACCESS_DENIED)
        return false;
    ClearReadOnly(path);
    return ::DeleteFileW(path.c_str()) != FALSE;
}

bool DeleteContents(const std::wstring& path)
{
    bool ok = true;
    WIN32_FIND_DATAW entry{};
    UniqueFindHandle find(::FindFirstFileW(JoinPath(path, L"*.*").c_str(), &entry));
    if (!find)
        return ok;
    do
    {
        if (IsDotEntry(entry.cFileName))
            continue;
        const std::wstring child = JoinPath(path, entry.cFileName);
        // Every entry is tried, whatever happened to the ones before it.
        bool removed;
        if (IsReparsePoint(entry.dwFileAttributes))
            removed = RemoveLink(child);
        else if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            removed = DeleteFolder(child);
        else
            removed = DeleteOneFile(child);
        ok = removed && ok;
    } while (::FindNextFileW(find.Get(), &entry));
    return ok;
}

} // namespace

std::wstring JoinPath(const std::wstring& path, const wchar_t* part)
{
    while (*part != L'\0' && IsSeparator(*part))
        ++part;
    std::wstring joined = path;
    if (!joined.empty() && !IsSeparator(joined.back()))
        joined += L'\\';
    joined += part;
    return joined;
}

bool EnsureDirectory(const std::wstring& path)
{
    if (::PathFileExistsW(path.c_str()))
        return true;
    std::vector<wchar_t> parent(path.c_str(), path.c_str() + path.size() + 1);
    ::PathRemoveBackslashW(parent.data());
    if (::PathRemoveFileSpecW(parent.data()))
        EnsureDirectory(parent.data());
    return ::CreateDirectoryW(path.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

bool DeleteFolder(const std::wstring& path)
{
    if (!::PathFileExistsW(path.c_str()))
        return false;
    if (!::PathIsDirectoryW(path.c_str()))
    {
        // Found, but a file: say so rather than leave whatever error came before.
        ::SetLastError(ERROR_DIRECTORY);
        return false;
    }
    if (IsReparsePoint(::GetFileAttributesW(path.c_str())))
        return RemoveLink(path);

    const bool ok = DeleteContents(path);
    if (::RemoveDirectoryW(path.c_str()))
        return ok;
    if (::GetLastError() != ERROR_ACCESS_DENIED)
        return false;
    ClearReadOnly(path);
    return ::RemoveDirectoryW(path.c_str()) && ok;
}
