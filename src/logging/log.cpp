#include "logging/log.h"

#include "logging/clog_dll.h"
#include "logging/log_handle.h"
#include "logging/shared_binding.h"
#include "logging/this_module.h"

namespace logging {

void WriteV(int32_t nestingChange, LogLevel level, const wchar_t* scope, const wchar_t* format, va_list arguments)
{
    if (!SharedBinding().InUse())
        return;
    // Our own reference: a release racing with this write cannot free the binding under us.
    LogHandle handle;
    handle.Acquire();
    const uint32_t levelValue = static_cast<uint32_t>(level);
    handle.Binding()->LogWrite(nestingChange, &levelValue, ThisModule(), scope, format, arguments);
}

void Write(LogLevel level, const wchar_t* scope, const wchar_t* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    WriteV(0, level, scope, format, arguments);
    va_end(arguments);
}

uint32_t Fail(uint32_t result, LogLevel level, const wchar_t* scope, const wchar_t* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    WriteV(0, level, scope, format, arguments);
    va_end(arguments);
    return result;
}

} // namespace logging
