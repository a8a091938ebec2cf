#include "logging/clog_dll.h"

#include <string>

#include "logging/this_module.h"

namespace logging {
namespace {

constexpr DWORD kMaxModulePath = 32767;

// What writes reach when the library is missing or lacks LogWrite.
HRESULT WriteNothing(int32_t, const uint32_t*, HMODULE, const wchar_t*, const wchar_t*, va_list)
{
    return E_NOINTERFACE;
}

template <typename Function>
Function Bind(HMODULE library, const char* name)
{
    // Through void(*)() so the compiler accepts the change of signature.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(library, name)));
}

// Only two places are searched: the process itself, then the folder of the owner's image.
HMODULE LoadLogLibrary(HMODULE owner)
{
    HMODULE library = nullptr;
    if (::GetModuleHandleExW(0, L"log.dll", &library))
        return library;

    std::wstring path(kMaxModulePath, L'\0');
    const DWORD length = ::GetModuleFileNameW(owner, &path[0], kMaxModulePath);
    if (length == 0 || length >= kMaxModulePath)
        return nullptr;
    path.resize(length);
    const size_t lastSlash = path.rfind(L'\\');
    if (lastSlash == std::wstring::npos)
        return nullptr;
    path.replace(lastSlash, std::wstring::npos, L"\\log.dll");
    return ::LoadLibraryW(path.c_str());
}

} // namespace

CLogDLL::CLogDLL() : CLogDLL(ThisModule()) {}

CLogDLL::CLogDLL(HMODULE owner) : library(LoadLogLibrary(owner))
{
    if (library)
    {
        const HMODULE lib = library.Get();
        if (auto init = Bind<LogNotifyFunction>(lib, "LogInit"))
            init();
        LogApplySettings = ::GetProcAddress(lib, "LogApplySettings");
        LogSetSettingsFile = ::GetProcAddress(lib, "LogSetSettingsFile");
        LogEnable = ::GetProcAddress(lib, "LogEnable");
        LogSetLevel = ::GetProcAddress(lib, "LogSetLevel");
        LogSetPath = ::GetProcAddress(lib, "LogSetPath");
        LogSetType = ::GetProcAddress(lib, "LogSetType");
        LogSetMode = ::GetProcAddress(lib, "LogSetMode");
        LogSetMaxSize = ::GetProcAddress(lib, "LogSetMaxSize");
        LogSetDepth = ::GetProcAddress(lib, "LogSetDepth");
        LogWrite = Bind<LogWriteFunction>(lib, "LogWrite");
        LogIsEnabled = ::GetProcAddress(lib, "LogIsEnabled");
        LogMonitorSettings = ::GetProcAddress(lib, "LogMonitorSettings");
        LogGetLevel = ::GetProcAddress(lib, "LogGetLevel");
        LogUninitDeskMetrics = Bind<LogNotifyFunction>(lib, "LogUninitDeskMetrics");
        LogTrackEvent = ::GetProcAddress(lib, "LogTrackEvent");
        LogTrackEventData = ::GetProcAddress(lib, "LogTrackEventData");
        LogRemoveModule = Bind<LogRemoveModuleFunction>(lib, "LogRemoveModule");
    }
    if (LogWrite == nullptr)
        LogWrite = &WriteNothing;
}

CLogDLL::~CLogDLL()
{
    if (!library)
        return;
    if (auto deinit = Bind<LogNotifyFunction>(library.Get(), "LogDeinit"))
        deinit();
    if (LogUninitDeskMetrics != nullptr)
        LogUninitDeskMetrics();
    if (LogRemoveModule != nullptr)
        LogRemoveModule("logging::CLogDLL::~CLogDLL");
    library.Reset();
}

} // namespace logging
