// demo_host.exe [--data DIR] [--scenario FILE]: loads qvmodule.dll as the product's service
// does and plays a product day (or the given scenario) against the fake host.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "console_report.h"
#include "demo_run.h"
#include "module/testing/qv_module_library.h"
#include "scenario.h"
#include "sdk/unique_handle.h"

namespace {

constexpr int kExitScenarioFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitBadScenario = 3;
constexpr int kExitDataFolder = 4;
constexpr int kExitNoModule = 5;

struct Options
{
    std::wstring data;
    std::wstring scenarioFile;
};

// Keeps the reason and answers false, so each check stays one line.
bool Refuse(std::string& error, const std::string& reason)
{
    error = reason;
    return false;
}

bool ParseArguments(int argc, wchar_t** argv, Options& options)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::wstring arg = argv[i];
        if ((arg == L"--data" || arg == L"--scenario") && i + 1 < argc)
            (arg == L"--data" ? options.data : options.scenarioFile) = argv[++i];
        else
            return false;
    }
    return true;
}

std::wstring FullPath(const std::wstring& path)
{
    wchar_t buffer[MAX_PATH * 4];
    const DWORD length = ::GetFullPathNameW(path.c_str(), MAX_PATH * 4, buffer, nullptr);
    return (length > 0 && length < MAX_PATH * 4) ? std::wstring(buffer, length) : path;
}

// 0 when the folder exists or was made, else the system's error code.
DWORD EnsureFolder(const std::wstring& path)
{
    if (::CreateDirectoryW(path.c_str(), nullptr))
        return 0;
    const DWORD error = ::GetLastError();
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) ? 0 : error;
}

// The folder must exist or be creatable, and take a file.
bool PrepareDataFolder(const DemoFolders& folders, std::string& error)
{
    for (const std::wstring* folder : {&folders.data, &folders.files, &folders.product})
        if (const DWORD code = EnsureFolder(*folder); code != 0)
            return Refuse(error, "cannot create the folder " + console_report::Narrow(*folder) + " (error " +
                                     std::to_string(code) + ")");
    const std::wstring probe = folders.data + L"\\.write_probe";
    const HANDLE raw = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    const DWORD code = ::GetLastError();
    UniqueKernelHandle file(raw == INVALID_HANDLE_VALUE ? nullptr : raw);
    if (!file)
        return Refuse(error, "cannot write in the data folder " + console_report::Narrow(folders.data) + " (error " +
                                 std::to_string(code) + ")");
    return true;
}

bool LoadScenario(const std::wstring& file, Scenario& scenario, std::string& error)
{
    if (file.empty())
        return ParseScenario(BuiltInScenarioText(), scenario, error);
    std::ifstream in(file.c_str(), std::ios::binary);
    if (!in)
        return Refuse(error, "cannot read the scenario file " + console_report::Narrow(file));
    std::ostringstream text;
    text << in.rdbuf();
    if (!ParseScenario(text.str(), scenario, error))
        return Refuse(error, "the scenario file " + console_report::Narrow(file) + " does not fit: " + error);
    return true;
}

// log.dll beside the module, pointed at the data folder's log file before any object exists,
// so the module finds it already loaded. Null when it is not there.
UniqueModule LoadLogLibrary(const std::wstring& logFile)
{
    UniqueModule library(::LoadLibraryW((TestProgramFolder() + L"log.dll").c_str()));
    if (!library)
        return library;
    using SetPath = int (*)(const wchar_t*);
    const auto setPath =
        reinterpret_cast<SetPath>(reinterpret_cast<void (*)()>(::GetProcAddress(library.Get(), "LogSetPath")));
    const int result = setPath != nullptr ? setPath(logFile.c_str()) : -1;
    if (result != 0)
        console_report::Error("log.dll cannot open the log file " + console_report::Narrow(logFile) + " (" +
                              std::to_string(result) + ")");
    return library;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    Options options;
    if (!ParseArguments(argc, argv, options))
    {
        console_report::Error("usage: demo_host.exe [--data DIR] [--scenario FILE]");
        return kExitUsage;
    }
    DemoFolders folders;
    folders.data = FullPath(options.data.empty() ? TestProgramFolder() + L"data" : options.data);
    folders.files = folders.data + L"\\files";
    folders.product = folders.data + L"\\product";
    folders.settings = folders.data + L"\\settings.json";
    const std::wstring logFile = folders.data + L"\\demo.log";

    std::string error;
    Scenario scenario;
    if (!LoadScenario(options.scenarioFile, scenario, error))
    {
        console_report::Error(error);
        return kExitBadScenario;
    }
    if (!PrepareDataFolder(folders, error))
    {
        console_report::Error(error);
        return kExitDataFolder;
    }

    console_report::Heading("demo host");
    const UniqueModule logLibrary = LoadLogLibrary(logFile);
    if (logLibrary)
        console_report::Detail("log.dll loaded from " + console_report::Narrow(TestProgramFolder()) +
                               "; module log: " + console_report::Narrow(logFile));
    else
        console_report::Detail("log.dll not found beside the module: the module runs without its log library, "
                               "no log file is written");
    QvModuleLibrary module(L"qvmodule.dll");
    if (!module.Loaded())
    {
        console_report::Error("cannot load qvmodule.dll with its exports from " +
                              console_report::Narrow(TestProgramFolder()));
        return kExitNoModule;
    }
    console_report::Detail("module: " + console_report::Narrow(module.Path()));
    console_report::Detail("data folder: " + console_report::Narrow(folders.data));

    const bool ok = RunScenario(scenario, folders, module);

    console_report::Heading("files");
    console_report::Detail("settings store: " + console_report::Narrow(folders.settings));
    if (logLibrary)
        console_report::Detail("module log: " + console_report::Narrow(logFile));
    console_report::Detail("scanned files: " + console_report::Narrow(folders.files));
    console_report::Heading(ok ? "scenario finished: every step as expected" : "scenario finished with FAILED steps");
    return ok ? 0 : kExitScenarioFailed;
}
