#include "unix_side.h"

#include <windows.h>

namespace {

// Wine returns no handles for a Linux program (the fields hold junk), so none are closed.
bool StartUnixProgram(const std::wstring& program, const std::wstring& arguments)
{
    std::wstring commandLine = L"Z:\\bin\\" + program + L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    if (process.hProcess != nullptr)
    {
        // A real process handle (not Wine): wait for it like any other program.
        ::WaitForSingleObject(process.hProcess, 30000);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    return true;
}

template <typename Done>
bool WaitUntil(Done done)
{
    for (int i = 0; i < 1000; ++i)
    {
        if (done())
            return true;
        ::Sleep(10);
    }
    return done();
}

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring Quoted(const std::string& unixPath)
{
    return L"\"" + std::wstring(unixPath.begin(), unixPath.end()) + L"\"";
}

} // namespace

std::string UnixPathOf(const std::wstring& windowsPath)
{
    using ToUnix = char*(CDECL*)(LPCWSTR);
    const auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (toUnix == nullptr)
        return {};
    char* unixPath = toUnix(windowsPath.c_str());
    if (unixPath == nullptr)
        return {};
    std::string result(unixPath);
    ::HeapFree(::GetProcessHeap(), 0, unixPath);
    return result;
}

bool MakeUnixSymlink(const std::wstring& target, const std::wstring& link)
{
    const std::string unixTarget = UnixPathOf(target);
    const std::string unixLink = UnixPathOf(link);
    if (unixTarget.empty() || unixLink.empty())
        return false;
    if (!StartUnixProgram(L"ln", L"-s " + Quoted(unixTarget) + L" " + Quoted(unixLink)))
        return false;
    return WaitUntil([&] { return Exists(link); });
}

bool RemoveUnixTree(const std::wstring& path)
{
    if (!Exists(path))
        return true;
    const std::string unixPath = UnixPathOf(path);
    if (unixPath.empty() || !StartUnixProgram(L"rm", L"-rf " + Quoted(unixPath)))
        return false;
    return WaitUntil([&] { return !Exists(path); });
}
