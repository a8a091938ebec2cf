#include "test_folder.h"

#include <windows.h>

#include <cstring>

#include "sdk/unique_handle.h"
#include "unix_side.h"

namespace {

std::wstring CurrentFolder()
{
    wchar_t buffer[MAX_PATH];
    const DWORD length = ::GetCurrentDirectoryW(MAX_PATH, buffer);
    std::wstring folder(buffer, length);
    if (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

} // namespace

TestFolder::TestFolder(const std::wstring& name) : path_(CurrentFolder() + L"\\" + name)
{
    RemoveTree(path_);
    ::CreateDirectoryW(path_.c_str(), nullptr);
}

TestFolder::~TestFolder()
{
    RemoveTree(path_);
}

bool PathExists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteFile(const std::wstring& path, const char* content)
{
    UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE)
    {
        file.Detach();
        return;
    }
    DWORD written = 0;
    ::WriteFile(file.Get(), content, static_cast<DWORD>(strlen(content)), &written, nullptr);
}

void RemoveTree(const std::wstring& path)
{
    RemoveUnixTree(path);
}
