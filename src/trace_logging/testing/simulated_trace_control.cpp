#include "trace_logging/testing/simulated_trace_control.h"

#include <cwctype>

namespace {

constexpr ULONG kMaxRecordedBlock = 64 * 1024;

std::vector<uint8_t> CopyBlock(const EVENT_TRACE_PROPERTIES* properties)
{
    if (properties == nullptr || properties->Wnode.BufferSize < sizeof(EVENT_TRACE_PROPERTIES) ||
        properties->Wnode.BufferSize > kMaxRecordedBlock)
        return {};
    const auto* bytes = reinterpret_cast<const uint8_t*>(properties);
    return std::vector<uint8_t>(bytes, bytes + properties->Wnode.BufferSize);
}

// The terminated name at offset, when it lies inside the block.
bool NameInBlock(const EVENT_TRACE_PROPERTIES* properties, ULONG offset, std::wstring& name)
{
    const ULONG size = properties->Wnode.BufferSize;
    if (offset < sizeof(EVENT_TRACE_PROPERTIES) || offset >= size)
        return false;
    const auto* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const uint8_t*>(properties) + offset);
    const size_t room = (size - offset) / sizeof(wchar_t);
    size_t length = 0;
    while (length < room && chars[length] != L'\0')
        ++length;
    if (length == room)
        return false;
    name.assign(chars, length);
    return true;
}

} // namespace

std::wstring SimulatedTraceControl::Key(const wchar_t* sessionName)
{
    // Session names are matched without regard to case.
    std::wstring key(sessionName);
    for (wchar_t& c : key)
        c = static_cast<wchar_t>(std::towupper(c));
    return key;
}

std::map<std::wstring, SimulatedTraceControl::Session>::iterator SimulatedTraceControl::FindByHandle(
    TRACEHANDLE handle)
{
    for (auto it = sessions_.begin(); it != sessions_.end(); ++it)
        if (it->second.handle == handle)
            return it;
    return sessions_.end();
}

ULONG SimulatedTraceControl::StartSession(TRACEHANDLE* handle, const wchar_t* sessionName,
                                          EVENT_TRACE_PROPERTIES* properties)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto record = [&](ULONG result) {
        starts_.push_back({sessionName ? sessionName : L"", CopyBlock(properties), result});
        return result;
    };
    if (handle == nullptr || sessionName == nullptr || *sessionName == L'\0' || properties == nullptr)
        return record(ERROR_INVALID_PARAMETER);
    if (properties->Wnode.BufferSize < sizeof(EVENT_TRACE_PROPERTIES))
        return record(ERROR_BAD_LENGTH);
    if ((properties->Wnode.Flags & WNODE_FLAG_TRACED_GUID) == 0)
        return record(ERROR_INVALID_PARAMETER);
    const bool circular = (properties->LogFileMode & EVENT_TRACE_FILE_MODE_CIRCULAR) != 0;
    if (circular && properties->MaximumFileSize == 0)
        return record(ERROR_INVALID_PARAMETER);

    const std::wstring key = Key(sessionName);
    if (sessions_.count(key) != 0)
        return record(ERROR_ALREADY_EXISTS);

    Session session{nextHandle_, UniqueKernelHandle(), {}};
    std::wstring fileName;
    if (properties->LogFileNameOffset != 0)
    {
        if (!NameInBlock(properties, properties->LogFileNameOffset, fileName))
            return record(ERROR_INVALID_PARAMETER);
    }
    if (!fileName.empty())
    {
        // Written by the session while it runs: readable by others, never deletable.
        const HANDLE file = ::CreateFileW(fileName.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return record(::GetLastError());
        session.logFile.Reset(file);
    }
    else if ((properties->LogFileMode & EVENT_TRACE_REAL_TIME_MODE) == 0)
    {
        return record(ERROR_BAD_PATHNAME);
    }

    *handle = nextHandle_++;
    sessions_.emplace(key, std::move(session));
    return record(ERROR_SUCCESS);
}

ULONG SimulatedTraceControl::EnableProvider(ULONG enable, ULONG enableFlags, ULONG enableLevel, const GUID* provider,
                                            TRACEHANDLE handle)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const GUID id = provider ? *provider : GUID{};
    const auto record = [&](ULONG result) {
        enables_.push_back({enable, enableFlags, enableLevel, id, handle, result});
        return result;
    };
    if (provider == nullptr)
        return record(ERROR_INVALID_PARAMETER);
    const auto session = FindByHandle(handle);
    if (session == sessions_.end())
        return record(ERROR_INVALID_HANDLE);
    if (enableFailure_ != 0)
        return record(enableFailure_);
    auto& providers = session->second.providers;
    for (auto it = providers.begin(); it != providers.end(); ++it)
        if (IsEqualGUID(*it, id))
        {
            providers.erase(it);
            break;
        }
    if (enable)
        providers.push_back(id);
    return record(ERROR_SUCCESS);
}

ULONG SimulatedTraceControl::ControlSession(TRACEHANDLE handle, const wchar_t* sessionName,
                                            EVENT_TRACE_PROPERTIES* properties, ULONG controlCode)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto record = [&](ULONG result) {
        controls_.push_back({sessionName ? sessionName : L"", handle, CopyBlock(properties), controlCode, result});
        return result;
    };
    if (properties == nullptr)
        return record(ERROR_INVALID_PARAMETER);
    if (properties->Wnode.BufferSize < sizeof(EVENT_TRACE_PROPERTIES))
        return record(ERROR_BAD_LENGTH);
    auto session = sessions_.end();
    if (handle != 0)
        session = FindByHandle(handle);
    else if (sessionName != nullptr && *sessionName != L'\0')
        session = sessions_.find(Key(sessionName));
    else
        return record(ERROR_INVALID_PARAMETER);
    if (session == sessions_.end())
        return record(ERROR_WMI_INSTANCE_NOT_FOUND);

    switch (controlCode)
    {
    case EVENT_TRACE_CONTROL_QUERY:
        return record(ERROR_SUCCESS);
    case EVENT_TRACE_CONTROL_STOP:
        sessions_.erase(session);
        return record(ERROR_SUCCESS);
    default:
        return record(ERROR_INVALID_PARAMETER);
    }
}

bool SimulatedTraceControl::IsRunning(const std::wstring& sessionName) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return sessions_.count(Key(sessionName.c_str())) != 0;
}

std::vector<GUID> SimulatedTraceControl::EnabledProviders(const std::wstring& sessionName) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto session = sessions_.find(Key(sessionName.c_str()));
    return session == sessions_.end() ? std::vector<GUID>() : session->second.providers;
}

std::vector<SimulatedTraceControl::StartCall> SimulatedTraceControl::StartCalls() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return starts_;
}

std::vector<SimulatedTraceControl::EnableCall> SimulatedTraceControl::EnableCalls() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return enables_;
}

std::vector<SimulatedTraceControl::ControlCall> SimulatedTraceControl::ControlCalls() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return controls_;
}

void SimulatedTraceControl::FailEnable(ULONG code)
{
    std::lock_guard<std::mutex> lock(mutex_);
    enableFailure_ = code;
}

void SimulatedTraceControl::StopAll()
{
    std::lock_guard<std::mutex> lock(mutex_);
    sessions_.clear();
    starts_.clear();
    enables_.clear();
    controls_.clear();
    enableFailure_ = 0;
}
