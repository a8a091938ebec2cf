#pragma once
#include <cstdint>

enum class LogLevel : uint32_t
{
    Error = 4,
    Warning = 8,
    Info = 16,
    Debug = 32,
};
