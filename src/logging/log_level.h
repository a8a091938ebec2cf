#pragma once
#include <cstdint>

// Severity handed to log.dll (by address, as a 32-bit value).
enum class LogLevel : uint32_t
{
    Error = 4,
    Warning = 8,
    Info = 16,
    Debug = 32,
};
