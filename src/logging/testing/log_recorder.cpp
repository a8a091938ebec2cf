#include "logging/testing/log_recorder.h"

#include "recording_log/recording_log_api.h"

namespace {

template <typename Function>
Function Find(HMODULE library, const char* name)
{
    if (library == nullptr)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(library, name)));
}

} // namespace

LogRecorder::LogRecorder() : library_(::LoadLibraryW(LibraryPath().c_str()))
{
    Clear();
}

LogRecorder::~LogRecorder() = default;

std::wstring LogRecorder::LibraryPath()
{
    std::wstring path(MAX_PATH * 4, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    path.resize(length);
    path.erase(path.rfind(L'\\') + 1);
    return path + L"log.dll";
}

bool LogRecorder::Loaded() const
{
    return Find<RecLogCountFunction>(library_.Get(), "RecLogCount") != nullptr;
}

std::wstring LogRecorder::Text(size_t index, int field) const
{
    const auto text = Find<RecLogTextFunction>(library_.Get(), "RecLogText");
    std::wstring result(text(index, field, nullptr, 0), L'\0');
    text(index, field, &result[0], result.size() + 1);
    return result;
}

std::vector<LogCall> LogRecorder::Calls() const
{
    std::vector<LogCall> calls;
    const auto count = Find<RecLogCountFunction>(library_.Get(), "RecLogCount");
    if (count == nullptr)
        return calls;
    for (size_t i = 0, n = count(); i < n; ++i)
        calls.push_back(LogCall{Text(i, kRecordedEntryPoint), Text(i, kRecordedText)});
    return calls;
}

std::vector<LogLine> LogRecorder::Lines() const
{
    std::vector<LogLine> lines;
    const auto count = Find<RecLogCountFunction>(library_.Get(), "RecLogCount");
    const auto numbers = Find<RecLogNumbersFunction>(library_.Get(), "RecLogNumbers");
    if (count == nullptr || numbers == nullptr)
        return lines;
    for (size_t i = 0, n = count(); i < n; ++i)
    {
        RecordedCallNumbers recorded{};
        if (Text(i, kRecordedEntryPoint) != L"LogWrite" || !numbers(i, &recorded))
            continue;
        LogLine line;
        line.nestingChange = recorded.nestingChange;
        line.level = static_cast<LogLevel>(recorded.level);
        line.module = recorded.module;
        line.scope = Text(i, kRecordedScope);
        line.format = Text(i, kRecordedFormat);
        line.text = Text(i, kRecordedText);
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<LogLine> LogRecorder::LinesFrom(HMODULE module) const
{
    std::vector<LogLine> lines;
    for (LogLine& line : Lines())
        if (line.module == module)
            lines.push_back(std::move(line));
    return lines;
}

bool LogRecorder::Contains(LogLevel level, const std::wstring& scope, const std::wstring& text) const
{
    for (const LogLine& line : Lines())
        if (line.level == level && line.scope == scope && line.text == text)
            return true;
    return false;
}

void LogRecorder::Clear()
{
    if (const auto clear = Find<RecLogClearFunction>(library_.Get(), "RecLogClear"))
        clear();
}

long LogRecorder::Counter(const char* name) const
{
    const auto counter = Find<RecLogCounterFunction>(library_.Get(), name);
    return counter != nullptr ? counter() : -1;
}

long LogRecorder::InitCount() const
{
    return Counter("RecLogInitCount");
}

long LogRecorder::DeinitCount() const
{
    return Counter("RecLogDeinitCount");
}

long LogRecorder::StrayWrites() const
{
    return Counter("RecLogStrayWrites");
}

long LogRecorder::DeinitsDuringWrites() const
{
    return Counter("RecLogDeinitsDuringWrites");
}

void LogRecorder::Unpin()
{
    library_.Reset();
}
