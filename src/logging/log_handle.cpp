#include "logging/log_handle.h"

#include "logging/clog_dll.h"
#include "logging/shared_binding.h"

LogHandle::LogHandle() : reference_(logging::SharedBinding()) {}

// The reference releases itself; releasing here as well would only repeat it.
LogHandle::~LogHandle() = default;

void LogHandle::Acquire()
{
    reference_.Acquire();
}

void LogHandle::Release()
{
    reference_.Release();
}

logging::CLogDLL* LogHandle::Binding() const
{
    return reference_.Get();
}
