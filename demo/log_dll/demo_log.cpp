// The demo host's log.dll: one readable line per call, written to a file the host names with
// LogSetPath; errors and warnings are echoed to the console.
#include <windows.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <mutex>
#include <string>

namespace {

std::mutex g_lock;
FILE* g_file = nullptr;
thread_local int t_depth = 0;

const wchar_t* LevelName(uint32_t level)
{
    switch (level)
    {
    case 4: return L"ERROR";
    case 8: return L"WARN ";
    case 16: return L"INFO ";
    case 32: return L"DEBUG";
    default: return L"?    ";
    }
}

std::wstring FormatMessageText(const wchar_t* format, va_list args)
{
    if (format == nullptr)
        return std::wstring();
    va_list measure;
    va_copy(measure, args);
    const int needed = _vscwprintf(format, measure);
    va_end(measure);
    if (needed <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(needed) + 1, L'\0');
    _vsnwprintf(&text[0], text.size(), format, args);
    text.resize(static_cast<size_t>(needed));
    return text;
}

std::wstring FormatLine(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    std::wstring text = FormatMessageText(format, args);
    va_end(args);
    return text;
}

} // namespace

extern "C" {

__declspec(dllexport) void LogInit() {}

__declspec(dllexport) void LogDeinit()
{
    std::lock_guard<std::mutex> guard(g_lock);
    if (g_file != nullptr)
        std::fflush(g_file);
}

__declspec(dllexport) int LogSetPath(const wchar_t* path)
{
    std::lock_guard<std::mutex> guard(g_lock);
    if (g_file != nullptr)
        std::fclose(g_file);
    g_file = (path != nullptr) ? _wfopen(path, L"a, ccs=UTF-8") : nullptr;
    return g_file != nullptr ? 0 : static_cast<int>(GetLastError() ? GetLastError() : ERROR_OPEN_FAILED);
}

__declspec(dllexport) int32_t LogWrite(int32_t nesting, const uint32_t* level, HMODULE, const wchar_t* scope,
                                       const wchar_t* format, va_list args)
{
    const std::wstring text = FormatMessageText(format, args);
    const uint32_t severity = level != nullptr ? *level : 32;
    if (nesting < 0 && t_depth > 0)
        --t_depth;
    const std::wstring indent(static_cast<size_t>(t_depth) * 2, L' ');
    if (nesting > 0)
        ++t_depth;

    SYSTEMTIME now;
    GetLocalTime(&now);
    std::lock_guard<std::mutex> guard(g_lock);
    if (g_file != nullptr)
    {
        const std::wstring line = FormatLine(L"%02u:%02u:%02u.%03u %s [%5lu] %s%s: %s\n", now.wHour, now.wMinute,
                                             now.wSecond, now.wMilliseconds, LevelName(severity),
                                             GetCurrentThreadId(), indent.c_str(), scope ? scope : L"", text.c_str());
        std::fputws(line.c_str(), g_file);
        std::fflush(g_file);
    }
    if (severity == 4 || severity == 8)
    {
        const std::wstring line = FormatLine(L"  log %s %s: %s\n", LevelName(severity), scope ? scope : L"", text.c_str());
        std::fputws(line.c_str(), stderr);
    }
    return 0;
}

// Entry points the module binds but never calls.
__declspec(dllexport) void LogApplySettings() {}
__declspec(dllexport) void LogSetSettingsFile() {}
__declspec(dllexport) void LogEnable() {}
__declspec(dllexport) void LogSetLevel() {}
__declspec(dllexport) void LogSetType() {}
__declspec(dllexport) void LogSetMode() {}
__declspec(dllexport) void LogSetMaxSize() {}
__declspec(dllexport) void LogSetDepth() {}
__declspec(dllexport) int LogIsEnabled() { return 1; }
__declspec(dllexport) void LogMonitorSettings() {}
__declspec(dllexport) void LogUninitDeskMetrics() {}
__declspec(dllexport) void LogTrackEvent() {}
__declspec(dllexport) void LogTrackEventData() {}
__declspec(dllexport) void LogRemoveModule(const char*) {}
__declspec(dllexport) uint32_t LogGetLevel() { return 32; }

} // extern "C"
