#include "trace_logging/event_trace_logger.h"

#include <objbase.h>

#include <cstdlib>
#include <cstring>

#include "logging/log.h"
#include "logging/log_scope.h"
#include "trace_logging/number_text.h"
#include "trace_logging/registry_key.h"

namespace {

constexpr REGSAM kAllAccess = KEY_ALL_ACCESS;
constexpr const wchar_t* kAutologgerRoot = L"SYSTEM\\CurrentControlSet\\Control\\WMI\\Autologger\\";
constexpr ULONG kLiveSessionLevel = 5;
constexpr ULONG kQueryPerformanceCounterClock = 1;

std::wstring DecimalText(int32_t number)
{
    return std::to_wstring(number);
}

// Writes one setting through value; the result is the write's, or why the text did not parse.
DWORD WriteSetting(RegistryValue& value, const RegistrySetting& setting)
{
    switch (setting.type)
    {
    case REG_DWORD:
    {
        const int32_t number = DecimalTextToInt32(setting.value.c_str());
        value.SetValue(REG_DWORD, &number, sizeof number);
        break;
    }
    case REG_QWORD:
    {
        uint64_t number = 0;
        if (const DWORD parsed = HexTextToUInt64(setting.value.c_str(), number); parsed != ERROR_SUCCESS)
            return parsed;
        value.SetValue(REG_QWORD, &number, sizeof number);
        break;
    }
    default:
        value.SetValue(setting.type, setting.value.c_str(),
                       static_cast<DWORD>((setting.value.size() + 1) * sizeof(wchar_t)));
        break;
    }
    return ::GetLastError();
}

// A name cut to room - 1 characters and terminated, placed at offset inside the block.
void PlaceName(EVENT_TRACE_PROPERTIES* block, ULONG offset, size_t room, const std::wstring& name)
{
    if (name.empty())
        return;
    auto* target = reinterpret_cast<wchar_t*>(reinterpret_cast<unsigned char*>(block) + offset);
    const size_t count = name.size() < room - 1 ? name.size() : room - 1;
    std::memcpy(target, name.data(), count * sizeof(wchar_t));
    target[count] = L'\0';
}

} // namespace

std::wstring EventTraceLogger::SessionKeyPath() const
{
    return std::wstring(kAutologgerRoot) + sessionName.c_str();
}

DWORD EventTraceLogger::WriteRegKeys(const std::wstring& keyPath, const std::vector<RegistrySetting>& settings)
{
    static constexpr const wchar_t* kScope = L"EventTraceLogger::WriteRegKeys";
    LogScope scope(kScope);
    logging::Write(LogLevel::Info, kScope, L"Adding values from key: %s", keyPath.c_str());

    RegistryKey key;
    const LSTATUS opened = key.Open(HKEY_LOCAL_MACHINE, keyPath.c_str(), kAllAccess);
    if (opened != ERROR_SUCCESS)
    {
        if (opened != ERROR_FILE_NOT_FOUND)
            return logging::Fail(opened, LogLevel::Info, kScope, L"Creating/opening the key returned: %d", opened);

        logging::Write(LogLevel::Info, kScope, L"Key not exists - we will create it!");
        RegistryKey machine;
        DWORD status = ERROR_INVALID_STATE;
        if (machine.Open(HKEY_LOCAL_MACHINE, L"", kAllAccess) == ERROR_SUCCESS)
        {
            RegistryKey created;
            status = created.Create(machine.Handle(), keyPath.c_str(), kAllAccess);
        }
        if (status != ERROR_SUCCESS)
            return logging::Fail(status, LogLevel::Info, kScope, L"Creating/opening the key returned: %d", status);
    }

    if (const LSTATUS reopened = key.Open(HKEY_LOCAL_MACHINE, keyPath.c_str(), kAllAccess); reopened != ERROR_SUCCESS)
        return logging::Fail(reopened, LogLevel::Info, kScope, L"Could not reopen, open returned: %d", reopened);

    for (const RegistrySetting& setting : settings)
    {
        RegistryValue value = key.QueryValue(setting.name.c_str());
        const DWORD status = WriteSetting(value, setting);
        if (status != ERROR_SUCCESS)
            return logging::Fail(status, LogLevel::Error, kScope, L"Error for setting %s", setting.name.c_str());
    }
    return ERROR_SUCCESS;
}

DWORD EventTraceLogger::ActivateAutologger()
{
    static constexpr const wchar_t* kScope = L"EventTraceLogger::ActivateAutologger";
    LogScope scope(kScope);
    // An empty name would make the Autologger key itself the session key.
    if (sessionName.IsEmpty())
        return logging::Fail(ERROR_INVALID_PARAMETER, LogLevel::Error, kScope, L"Empty session name");

    const std::wstring sessionKey = SessionKeyPath();
    const std::vector<RegistrySetting> sessionValues = {
        {L"FileName", logFilePath.c_str(), REG_SZ},
        {L"Guid", providerGuid.c_str(), REG_SZ},
        {L"LogFileMode", DecimalText(static_cast<int32_t>(trace_properties::kLogFileMode)), REG_DWORD},
        {L"MaxFileSize", DecimalText(maxFileSize), REG_DWORD},
        {L"Start", DecimalText(1), REG_DWORD},
        {L"BufferSize", DecimalText(4), REG_DWORD},
        {L"MinimumBuffers", DecimalText(8), REG_DWORD},
        {L"MaximumBuffers", DecimalText(20), REG_DWORD},
    };
    if (const DWORD result = WriteRegKeys(sessionKey, sessionValues); result != ERROR_SUCCESS)
        return logging::Fail(result, LogLevel::Error, kScope, L"WriteRegKeys(1) returned %d", result);

    const std::wstring providerKey = sessionKey + L"\\" + providerGuid.c_str();
    const std::vector<RegistrySetting> providerValues = {
        {L"Enabled", DecimalText(1), REG_DWORD},
        {L"EnableLevel", DecimalText(enableLevel), REG_DWORD},
        {L"EnableProperty", DecimalText(0), REG_DWORD},
        {L"MatchAllKeyword", L"0", REG_QWORD},
        {L"MatchAnyKeyword", matchAnyKeyword.c_str(), REG_QWORD},
    };
    const DWORD result = WriteRegKeys(providerKey, providerValues);
    if (result != ERROR_SUCCESS)
        logging::Write(LogLevel::Error, kScope, L"WriteRegKeys(2) returned %d", result);
    return result;
}

DWORD EventTraceLogger::DeleteAutoLogger()
{
    static constexpr const wchar_t* kScope = L"EventTraceLogger::DeleteAutoLogger";
    LogScope scope(kScope);
    // With an empty name the whole Autologger tree would go.
    if (sessionName.IsEmpty())
        return logging::Fail(ERROR_INVALID_PARAMETER, LogLevel::Error, kScope, L"Empty session name");

    const std::wstring sessionKey = SessionKeyPath();
    RegistryKey machine;
    if (const LSTATUS opened = machine.Open(HKEY_LOCAL_MACHINE, L"", kAllAccess); opened != ERROR_SUCCESS)
        return logging::Fail(opened, LogLevel::Info, kScope, L"Could not open, returned: %d", opened);

    logging::Write(LogLevel::Info, kScope, L"Delete key %s", sessionKey.c_str());
    const LSTATUS result = machine.DeleteSubkey(sessionKey.c_str(), true);
    if (result != ERROR_SUCCESS)
        logging::Write(LogLevel::Error, kScope, L"RegDeleteKey returned %d", result);
    return result;
}

TracePropertiesBlock EventTraceLogger::AllocateTraceProperties(const std::wstring& loggerName,
                                                               const std::wstring& logFileName)
{
    static constexpr const wchar_t* kScope = L"EventTraceLogger::AllocateTraceProperties";
    LogScope scope(kScope);
    TracePropertiesBlock block(static_cast<EVENT_TRACE_PROPERTIES*>(std::malloc(trace_properties::kBlockSize)));
    if (!block)
    {
        logging::Write(LogLevel::Error, kScope, L"error creating traceProperties.");
        return block;
    }
    std::memset(block.get(), 0, trace_properties::kBlockSize);
    block->Wnode.BufferSize = trace_properties::kBlockSize;
    block->Wnode.Flags = WNODE_FLAG_TRACED_GUID;
    block->LogFileMode = trace_properties::kLogFileMode;
    block->LogFileNameOffset = trace_properties::kLogFileNameOffset;
    block->LoggerNameOffset = trace_properties::kLoggerNameOffset;
    PlaceName(block.get(), trace_properties::kLoggerNameOffset, trace_properties::kLoggerNameChars, loggerName);
    PlaceName(block.get(), trace_properties::kLogFileNameOffset, trace_properties::kLogFileNameChars, logFileName);
    return block;
}

DWORD EventTraceLogger::ActivateTracelogger()
{
    static constexpr const wchar_t* kScope = L"EventTraceLogger::ActivateTracelogger";
    LogScope scope(kScope);
    if (sessionName.IsEmpty())
        return logging::Fail(ERROR_FUNCTION_FAILED, LogLevel::Error, kScope, L"Empty session name");

    TracePropertiesBlock properties = AllocateTraceProperties(sessionName.c_str(), logFilePath.c_str());
    if (!properties)
        return logging::Fail(ERROR_FUNCTION_FAILED, LogLevel::Error, kScope, L"can't initiate trace properties");
    properties->Wnode.ClientContext = kQueryPerformanceCounterClock;
    properties->BufferSize = 4;
    properties->MinimumBuffers = 8;
    properties->MaximumBuffers = 20;
    properties->MaximumFileSize = static_cast<ULONG>(maxFileSize);

    GUID provider{};
    if (FAILED(::CLSIDFromString(providerGuid.c_str(), &provider)))
        return logging::Fail(ERROR_FUNCTION_FAILED, LogLevel::Error, kScope, L"invalid guid: %s", providerGuid.c_str());
    properties->Wnode.Guid = provider;

    TRACEHANDLE session = 0;
    if (const ULONG started = traceControl_.StartSession(&session, sessionName.c_str(), properties.get()); started != 0)
        return logging::Fail(ERROR_FUNCTION_FAILED, LogLevel::Error, kScope, L"StartTrace failed: %d", started);

    uint32_t keywords = 0;
    if (HexTextToUInt32(matchAnyKeyword.c_str(), keywords) != ERROR_SUCCESS)
        return logging::Fail(ERROR_FUNCTION_FAILED, LogLevel::Error, kScope, L"invalid keyword mask: %s",
                             matchAnyKeyword.c_str());

    if (const ULONG enabled = traceControl_.EnableProvider(TRUE, keywords, kLiveSessionLevel, &provider, session);
        enabled != 0)
        return logging::Fail(ERROR_FUNCTION_FAILED, LogLevel::Error, kScope, L"EnableTrace failed: %d", enabled);
    return ERROR_SUCCESS;
}

DWORD EventTraceLogger::DeleteTraceLogger()
{
    static constexpr const wchar_t* kScope = L"EventTraceLogger::DeleteTraceLogger";
    LogScope scope(kScope);
    if (sessionName.IsEmpty())
        return logging::Fail(ERROR_FUNCTION_FAILED, LogLevel::Error, kScope, L"Empty session name");

    TracePropertiesBlock properties = AllocateTraceProperties(sessionName.c_str(), logFilePath.c_str());
    if (!properties)
        return ERROR_FUNCTION_FAILED;

    GUID provider{};
    if (FAILED(::CLSIDFromString(providerGuid.c_str(), &provider)))
        return logging::Fail(ERROR_FUNCTION_FAILED, LogLevel::Error, kScope, L"invalid guid: %s", providerGuid.c_str());
    properties->Wnode.Guid = provider;

    if (const ULONG stopped =
            traceControl_.ControlSession(0, sessionName.c_str(), properties.get(), EVENT_TRACE_CONTROL_STOP);
        stopped != 0)
        return logging::Fail(ERROR_FUNCTION_FAILED, LogLevel::Error, kScope, L"ControlTrace failed: %d", stopped);
    return ERROR_SUCCESS;
}

DWORD EventTraceLogger::ActivateLogging()
{
    static constexpr const wchar_t* kScope = L"EventTraceLogger::ActivateLogging";
    LogScope scope(kScope);
    if (sessionName.IsEmpty())
        return logging::Fail(ERROR_INVALID_PARAMETER, LogLevel::Error, kScope, L"Empty session name");

    if (const DWORD result = ActivateTracelogger(); result != ERROR_SUCCESS)
        return logging::Fail(result, LogLevel::Error, kScope, L"Failed to activate tracelogging: %d", result);
    const DWORD result = ActivateAutologger();
    if (result != ERROR_SUCCESS)
        logging::Write(LogLevel::Error, kScope, L"Failed to activate autologging: %d", result);
    return result;
}

DWORD EventTraceLogger::DisableLogging()
{
    static constexpr const wchar_t* kScope = L"EventTraceLogger::DisableLogging";
    LogScope scope(kScope);
    if (sessionName.IsEmpty())
        return logging::Fail(ERROR_INVALID_PARAMETER, LogLevel::Error, kScope, L"Empty session name");

    const DWORD traceResult = DeleteTraceLogger();
    if (traceResult != ERROR_SUCCESS)
        logging::Write(LogLevel::Error, kScope, L"Failed to delete tracelogging: %d", traceResult);
    const DWORD autoResult = DeleteAutoLogger();
    if (autoResult != ERROR_SUCCESS)
        logging::Write(LogLevel::Error, kScope, L"Failed to delete autologging: %d", autoResult);
    return traceResult != ERROR_SUCCESS ? traceResult : autoResult;
}
