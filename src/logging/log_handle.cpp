#include "logging/log_handle.h"

#include "logging/clog_dll.h"
#include "logging/shared_binding.h"

LogHandle::LogHandle() : reference_(logging::SharedBinding()) {}

LogHandle::~LogHandle()
{
    reference_.Release();
}

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
