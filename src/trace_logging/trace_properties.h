#pragma once
#include <windows.h>

#include <evntrace.h>

#include <cstddef>
#include <cstdlib>
#include <memory>

// One heap block: EVENT_TRACE_PROPERTIES followed by the logger name and the log file name.
namespace trace_properties {

constexpr ULONG kBlockSize = 2688;
constexpr ULONG kLoggerNameOffset = 120;
constexpr size_t kLoggerNameChars = 1024;
constexpr ULONG kLogFileNameOffset = 2168;
constexpr size_t kLogFileNameChars = 260;
// EVENT_TRACE_REAL_TIME_MODE | EVENT_TRACE_FILE_MODE_CIRCULAR
constexpr ULONG kLogFileMode = 0x102;

static_assert(sizeof(EVENT_TRACE_PROPERTIES) == kLoggerNameOffset, "logger name follows the structure");
static_assert(kLoggerNameOffset + kLoggerNameChars * sizeof(wchar_t) == kLogFileNameOffset, "names are adjacent");
static_assert(kLogFileNameOffset + kLogFileNameChars * sizeof(wchar_t) == kBlockSize, "block ends after the names");

struct FreeBlock
{
    void operator()(EVENT_TRACE_PROPERTIES* block) const noexcept { std::free(block); }
};

} // namespace trace_properties

// Freed with free() on every path, as the block is malloc'ed.
using TracePropertiesBlock = std::unique_ptr<EVENT_TRACE_PROPERTIES, trace_properties::FreeBlock>;
