#pragma once
#include <windows.h>

#include <cstdarg>
#include <cstdint>

#include "sdk/unique_handle.h"

namespace logging {

using LogWriteFunction = HRESULT (*)(int32_t nestingChange, const uint32_t* level, HMODULE module,
                                     const wchar_t* scope, const wchar_t* format, va_list arguments);
using LogNotifyFunction = void (*)();
using LogRemoveModuleFunction = void (*)(const char* name);

// Run-time binding to log.dll. Only one instance is alive at a time, shared through LogHandle.
// The entry points that nothing calls are kept bound so the library sees the usual look-ups.
class CLogDLL final
{
public:
    // Binds the log.dll already in the process, or else the one beside this module.
    CLogDLL();
    // Same, but looks beside owner's image instead of this module's.
    explicit CLogDLL(HMODULE owner);
    // Lets the library shut down (LogDeinit, LogUninitDeskMetrics, LogRemoveModule), then unloads it.
    ~CLogDLL();

    CLogDLL(const CLogDLL&) = delete;
    CLogDLL& operator=(const CLogDLL&) = delete;

    UniqueModule library;
    FARPROC LogApplySettings = nullptr;
    FARPROC LogSetSettingsFile = nullptr;
    FARPROC LogEnable = nullptr;
    FARPROC LogSetLevel = nullptr;
    FARPROC LogSetPath = nullptr;
    FARPROC LogSetType = nullptr;
    FARPROC LogSetMode = nullptr;
    FARPROC LogSetMaxSize = nullptr;
    FARPROC LogSetDepth = nullptr;
    LogWriteFunction LogWrite = nullptr; // never null once constructed
    FARPROC LogIsEnabled = nullptr;
    FARPROC LogMonitorSettings = nullptr;
    LogNotifyFunction LogUninitDeskMetrics = nullptr;
    FARPROC LogTrackEvent = nullptr;
    FARPROC LogTrackEventData = nullptr;
    LogRemoveModuleFunction LogRemoveModule = nullptr;
    FARPROC LogGetLevel = nullptr;
};

} // namespace logging
