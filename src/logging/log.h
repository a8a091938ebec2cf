#pragma once
#include <cstdarg>
#include <cstdint>

#include "logging/log_level.h"

namespace logging {

// Hands one message to log.dll: the format follows the Windows convention (%s takes a wide
// string) and is formatted by the library. Dropped while no exported object holds the binding.
void Write(LogLevel level, const wchar_t* scope, const wchar_t* format, ...);

// Writes the line and returns result, so a failure check is one line:
//   if (!plugin) return logging::Fail(5002, LogLevel::Error, kScope, L"cannot get settings plugin");
uint32_t Fail(uint32_t result, LogLevel level, const wchar_t* scope, const wchar_t* format, ...);

// The common path: nestingChange is +1 for a trace entry line, -1 for an exit line, else 0.
void WriteV(int32_t nestingChange, LogLevel level, const wchar_t* scope, const wchar_t* format, va_list arguments);

} // namespace logging
