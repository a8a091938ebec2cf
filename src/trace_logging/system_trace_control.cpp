#include "trace_logging/trace_control.h"

namespace {

class SystemTraceControlImpl final : public ITraceControl
{
public:
    ULONG StartSession(TRACEHANDLE* handle, const wchar_t* sessionName, EVENT_TRACE_PROPERTIES* properties) override
    {
        return ::StartTraceW(handle, sessionName, properties);
    }

    ULONG EnableProvider(ULONG enable, ULONG enableFlags, ULONG enableLevel, const GUID* provider,
                         TRACEHANDLE handle) override
    {
        return ::EnableTrace(enable, enableFlags, enableLevel, provider, handle);
    }

    ULONG ControlSession(TRACEHANDLE handle, const wchar_t* sessionName, EVENT_TRACE_PROPERTIES* properties,
                         ULONG controlCode) override
    {
        return ::ControlTraceW(handle, sessionName, properties, controlCode);
    }
};

} // namespace

ITraceControl& SystemTraceControl()
{
    static SystemTraceControlImpl instance;
    return instance;
}
