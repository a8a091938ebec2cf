#pragma once
// Stand-in for the system's trace-session calls, which Wine only stubs. It keeps what a real
// system keeps: running sessions by name (a second start of a running name fails with
// ERROR_ALREADY_EXISTS, stopping one that does not run fails with ERROR_WMI_INSTANCE_NOT_FOUND),
// and each running session holds its log file open without delete sharing, so the file cannot
// be removed until the session stops. Every call is recorded, properties block included.
#include <windows.h>

#include <evntrace.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "sdk/unique_handle.h"
#include "trace_logging/trace_control.h"

class SimulatedTraceControl final : public ITraceControl
{
public:
    struct StartCall
    {
        std::wstring sessionName;
        std::vector<uint8_t> properties; // the block as passed, Wnode.BufferSize bytes
        ULONG result;
    };
    struct EnableCall
    {
        ULONG enable;
        ULONG enableFlags;
        ULONG enableLevel;
        GUID provider;
        TRACEHANDLE handle;
        ULONG result;
    };
    struct ControlCall
    {
        std::wstring sessionName;
        TRACEHANDLE handle;
        std::vector<uint8_t> properties;
        ULONG controlCode;
        ULONG result;
    };

    SimulatedTraceControl() = default;
    ~SimulatedTraceControl() { StopAll(); }
    SimulatedTraceControl(const SimulatedTraceControl&) = delete;
    SimulatedTraceControl& operator=(const SimulatedTraceControl&) = delete;

    ULONG StartSession(TRACEHANDLE* handle, const wchar_t* sessionName, EVENT_TRACE_PROPERTIES* properties) override;
    ULONG EnableProvider(ULONG enable, ULONG enableFlags, ULONG enableLevel, const GUID* provider,
                         TRACEHANDLE handle) override;
    ULONG ControlSession(TRACEHANDLE handle, const wchar_t* sessionName, EVENT_TRACE_PROPERTIES* properties,
                         ULONG controlCode) override;

    bool IsRunning(const std::wstring& sessionName) const;
    // The providers enabled in a running session.
    std::vector<GUID> EnabledProviders(const std::wstring& sessionName) const;

    std::vector<StartCall> StartCalls() const;
    std::vector<EnableCall> EnableCalls() const;
    std::vector<ControlCall> ControlCalls() const;

    // Makes every following EnableProvider answer code (0 restores normal behaviour).
    void FailEnable(ULONG code);
    // Stops every session (closing its file) and forgets the recorded calls.
    void StopAll();

private:
    struct Session
    {
        TRACEHANDLE handle;
        UniqueKernelHandle logFile;
        std::vector<GUID> providers;
    };

    static std::wstring Key(const wchar_t* sessionName);
    std::map<std::wstring, Session>::iterator FindByHandle(TRACEHANDLE handle);

    mutable std::mutex mutex_;
    std::map<std::wstring, Session> sessions_;
    TRACEHANDLE nextHandle_ = 0x1000;
    ULONG enableFailure_ = 0;
    std::vector<StartCall> starts_;
    std::vector<EnableCall> enables_;
    std::vector<ControlCall> controls_;
};
