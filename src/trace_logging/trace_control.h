#pragma once
#include <windows.h>

#include <evntrace.h>

// The three trace-session calls the logger makes. The product uses the system's; tests put a
// simulation in its place, because Wine only stubs them.
struct ITraceControl
{
    // StartTraceW: starts the session named sessionName as the properties block describes.
    virtual ULONG StartSession(TRACEHANDLE* handle, const wchar_t* sessionName,
                               EVENT_TRACE_PROPERTIES* properties) = 0;
    // EnableTrace: enables (or disables) a provider in the session behind handle.
    virtual ULONG EnableProvider(ULONG enable, ULONG enableFlags, ULONG enableLevel, const GUID* provider,
                                 TRACEHANDLE handle) = 0;
    // ControlTraceW: e.g. EVENT_TRACE_CONTROL_STOP for the session found by name.
    virtual ULONG ControlSession(TRACEHANDLE handle, const wchar_t* sessionName, EVENT_TRACE_PROPERTIES* properties,
                                 ULONG controlCode) = 0;

protected:
    ~ITraceControl() = default;
};

// The process's implementation over advapi32.
ITraceControl& SystemTraceControl();
