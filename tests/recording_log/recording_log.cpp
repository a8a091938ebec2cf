// A log.dll for tests: records every call in memory instead of writing anywhere.
#include <windows.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <mutex>
#include <string>
#include <vector>

#include "recording_log/recording_log_api.h"

namespace {

struct Call
{
    std::wstring entryPoint;
    RecordedCallNumbers numbers{};
    std::wstring scope;
    std::wstring format;
    std::wstring text;
};

std::mutex callsMutex;
std::vector<Call> calls;
std::atomic<long> initCount{0};
std::atomic<long> deinitCount{0};
std::atomic<long> strayWrites{0};
std::atomic<long> deinitsDuringWrites{0};
// Never reset, so a clear cannot hide a stray write: LogInit calls minus LogDeinit calls, and the
// LogWrite calls under way.
std::atomic<long> openBindings{0};
std::atomic<long> writesInProgress{0};

void Record(Call call)
{
    std::lock_guard<std::mutex> lock(callsMutex);
    calls.push_back(std::move(call));
}

void RecordEntryPoint(const wchar_t* name)
{
    Call call;
    call.entryPoint = name;
    Record(std::move(call));
}

// The module's formats follow the Windows convention (%s takes a wide string): msvcrt's
// functions read them that way.
std::wstring Format(const wchar_t* format, va_list arguments)
{
    if (format == nullptr)
        return std::wstring();
    va_list measure;
    va_copy(measure, arguments);
    const int length = _vscwprintf(format, measure);
    va_end(measure);
    if (length < 0)
        return L"<bad format>";
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    va_list write;
    va_copy(write, arguments);
    _vsnwprintf(buffer.data(), buffer.size(), format, write);
    va_end(write);
    return std::wstring(buffer.data(), static_cast<size_t>(length));
}

std::wstring Widen(const char* text)
{
    std::wstring wide;
    if (text != nullptr)
        for (; *text != '\0'; ++text)
            wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*text)));
    return wide;
}

} // namespace

extern "C" {

void LogInit()
{
    ++openBindings;
    ++initCount;
    RecordEntryPoint(L"LogInit");
}

void LogDeinit()
{
    if (writesInProgress.load() > 0)
        ++deinitsDuringWrites;
    --openBindings;
    ++deinitCount;
    RecordEntryPoint(L"LogDeinit");
}

HRESULT LogWrite(int32_t nestingChange, const uint32_t* level, HMODULE module, const wchar_t* scope,
                 const wchar_t* format, va_list arguments)
{
    ++writesInProgress;
    if (openBindings.load() <= 0)
        ++strayWrites;
    Call call;
    call.entryPoint = L"LogWrite";
    call.numbers.nestingChange = nestingChange;
    call.numbers.level = level != nullptr ? *level : 0;
    call.numbers.module = module;
    call.scope = scope != nullptr ? scope : L"";
    call.format = format != nullptr ? format : L"";
    call.text = Format(format, arguments);
    Record(std::move(call));
    --writesInProgress;
    return S_OK;
}

void LogUninitDeskMetrics()
{
    RecordEntryPoint(L"LogUninitDeskMetrics");
}

void LogRemoveModule(const char* name)
{
    Call call;
    call.entryPoint = L"LogRemoveModule";
    call.text = Widen(name);
    Record(std::move(call));
}

// Bound by the module but never called; recorded should that ever change.
void LogApplySettings() { RecordEntryPoint(L"LogApplySettings"); }
void LogSetSettingsFile() { RecordEntryPoint(L"LogSetSettingsFile"); }
void LogEnable() { RecordEntryPoint(L"LogEnable"); }
void LogSetLevel() { RecordEntryPoint(L"LogSetLevel"); }
void LogSetPath() { RecordEntryPoint(L"LogSetPath"); }
void LogSetType() { RecordEntryPoint(L"LogSetType"); }
void LogSetMode() { RecordEntryPoint(L"LogSetMode"); }
void LogSetMaxSize() { RecordEntryPoint(L"LogSetMaxSize"); }
void LogSetDepth() { RecordEntryPoint(L"LogSetDepth"); }
void LogIsEnabled() { RecordEntryPoint(L"LogIsEnabled"); }
void LogMonitorSettings() { RecordEntryPoint(L"LogMonitorSettings"); }
void LogGetLevel() { RecordEntryPoint(L"LogGetLevel"); }
void LogTrackEvent() { RecordEntryPoint(L"LogTrackEvent"); }
void LogTrackEventData() { RecordEntryPoint(L"LogTrackEventData"); }

size_t RecLogCount()
{
    std::lock_guard<std::mutex> lock(callsMutex);
    return calls.size();
}

int RecLogNumbers(size_t index, RecordedCallNumbers* numbers)
{
    std::lock_guard<std::mutex> lock(callsMutex);
    if (index >= calls.size() || numbers == nullptr)
        return 0;
    *numbers = calls[index].numbers;
    return 1;
}

size_t RecLogText(size_t index, int field, wchar_t* buffer, size_t capacity)
{
    std::lock_guard<std::mutex> lock(callsMutex);
    if (index >= calls.size())
        return 0;
    const Call& call = calls[index];
    const std::wstring* text = &call.text;
    switch (field)
    {
    case kRecordedEntryPoint: text = &call.entryPoint; break;
    case kRecordedScope: text = &call.scope; break;
    case kRecordedFormat: text = &call.format; break;
    default: break;
    }
    if (buffer != nullptr && capacity > text->size())
    {
        std::wmemcpy(buffer, text->c_str(), text->size());
        buffer[text->size()] = L'\0';
    }
    return text->size();
}

void RecLogClear()
{
    std::lock_guard<std::mutex> lock(callsMutex);
    calls.clear();
    initCount = 0;
    deinitCount = 0;
    strayWrites = 0;
    deinitsDuringWrites = 0;
}

long RecLogInitCount() { return initCount.load(); }
long RecLogDeinitCount() { return deinitCount.load(); }
long RecLogStrayWrites() { return strayWrites.load(); }
long RecLogDeinitsDuringWrites() { return deinitsDuringWrites.load(); }

} // extern "C"
