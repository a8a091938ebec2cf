#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "logging/log_level.h"
#include "sdk/unique_handle.h"

// One LogWrite call as the recording log.dll saw it; text is the line formatted by msvcrt.
struct LogLine
{
    int32_t nestingChange = 0;
    LogLevel level = LogLevel::Debug;
    HMODULE module = nullptr;
    std::wstring scope;
    std::wstring format;
    std::wstring text;
};

// Any entry point call: its name and, for LogWrite the line, for LogRemoveModule the argument.
struct LogCall
{
    std::wstring entryPoint;
    std::wstring text;
};

// Test client of the recording log.dll beside the test program. It keeps log.dll loaded while it
// lives (the module's unload then only drops a reference), so the record survives the module
// letting go of the library; whether the module really let go shows in the recorded tear-down
// calls, and in GetModuleHandle after Unpin().
class LogRecorder
{
public:
    LogRecorder();  // pins log.dll and clears the record
    ~LogRecorder(); // unpins

    LogRecorder(const LogRecorder&) = delete;
    LogRecorder& operator=(const LogRecorder&) = delete;

    // False when the recording log.dll is not beside the test program.
    bool Loaded() const;

    std::vector<LogCall> Calls() const;
    std::vector<LogLine> Lines() const;
    // Lines written by one module only (the test program, or a DLL it loaded).
    std::vector<LogLine> LinesFrom(HMODULE module) const;
    bool Contains(LogLevel level, const std::wstring& scope, const std::wstring& text) const;
    void Clear();

    long InitCount() const;
    long DeinitCount() const;
    // Writes through a binding whose LogDeinit had already run: must stay 0.
    long StrayWrites() const;
    // LogDeinit calls made while a LogWrite was under way. Must stay 0 while only one module
    // (one binding) uses the library: a binding must not be torn down under a write.
    long DeinitsDuringWrites() const;

    // Drops the pin early, so a test can check that nothing else keeps log.dll loaded. The record
    // is gone with the library.
    void Unpin();

    static std::wstring LibraryPath(); // log.dll beside the test program

private:
    std::wstring Text(size_t index, int field) const;
    long Counter(const char* name) const;

    UniqueModule library_;
};
