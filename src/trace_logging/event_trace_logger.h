#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "sdk/qv_string.h"
#include "trace_logging/registry_setting.h"
#include "trace_logging/trace_control.h"
#include "trace_logging/trace_properties.h"

// Switches ETW logging on and off for one provider: a live trace session now, and an
// autologger registration that starts the same session at the next boot. Keeps no handle
// between calls; the session is found by name, the keys by path. Results are Windows codes.
class EventTraceLogger
{
public:
    explicit EventTraceLogger(ITraceControl& traceControl = SystemTraceControl()) : traceControl_(traceControl) {}

    // The caller fills these before use.
    qv::WString sessionName;
    qv::WString logFilePath;
    qv::WString providerGuid;
    int32_t maxFileSize = 500;
    int32_t enableLevel = 5;
    qv::WString matchAnyKeyword = L"0xFFFF";

    DWORD ActivateLogging();
    DWORD DisableLogging();

    // Live session only; 0 or ERROR_FUNCTION_FAILED.
    DWORD ActivateTracelogger();
    DWORD DeleteTraceLogger();

    // Registry only.
    DWORD ActivateAutologger();
    DWORD DeleteAutoLogger();

    // Writes the settings in order below HKEY_LOCAL_MACHINE\keyPath, creating the key when missing.
    DWORD WriteRegKeys(const std::wstring& keyPath, const std::vector<RegistrySetting>& settings);

    // Null when the block cannot be allocated; over-long names are cut.
    static TracePropertiesBlock AllocateTraceProperties(const std::wstring& loggerName,
                                                        const std::wstring& logFileName);

private:
    std::wstring SessionKeyPath() const;

    ITraceControl& traceControl_;
};
