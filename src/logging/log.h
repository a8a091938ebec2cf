#pragma once
#include <cstdint>

#include "logging/log_level.h"

namespace logging {

void Write(LogLevel level, const wchar_t* scope, const wchar_t* format, ...);

// Writes the line and returns result, so a failure check stays one line.
uint32_t Fail(uint32_t result, LogLevel level, const wchar_t* scope, const wchar_t* format, ...);

} // namespace logging
