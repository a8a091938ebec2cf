// Placeholder bodies so that code written against the logging API links until the binding lands.
#include "logging/log.h"
#include "logging/log_handle.h"
#include "logging/log_scope.h"

namespace logging {
void Write(LogLevel, const wchar_t*, const wchar_t*, ...) {}
uint32_t Fail(uint32_t result, LogLevel, const wchar_t*, const wchar_t*, ...) { return result; }
} // namespace logging

LogScope::LogScope(const wchar_t*) {}
LogScope::~LogScope() {}
void LogHandle::Acquire() {}
void LogHandle::Release() {}
