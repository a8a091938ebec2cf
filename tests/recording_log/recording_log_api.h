#pragma once
// Query side of the recording log.dll, for tests: every call of its entry points is kept in
// memory, in call order, until RecLogClear.
#include <windows.h>

#include <cstddef>
#include <cstdint>

enum RecordedTextField : int
{
    kRecordedEntryPoint = 0, // "LogWrite", "LogInit", ...
    kRecordedScope = 1,
    kRecordedFormat = 2,
    kRecordedText = 3, // LogWrite: the formatted line; LogRemoveModule: its argument
};

struct RecordedCallNumbers
{
    int32_t nestingChange;
    uint32_t level;
    HMODULE module;
};

using RecLogCountFunction = size_t (*)();
using RecLogNumbersFunction = int (*)(size_t index, RecordedCallNumbers* numbers);
using RecLogTextFunction = size_t (*)(size_t index, int field, wchar_t* buffer, size_t capacity);
using RecLogClearFunction = void (*)();
using RecLogCounterFunction = long (*)();

// Exports (see recording_log.def):
//   size_t RecLogCount()                  number of recorded calls
//   int    RecLogNumbers(i, numbers)      1 and the numbers of call i, 0 when i is out of range
//   size_t RecLogText(i, field, buf, n)   length of the text; copied with terminator when it fits
//   void   RecLogClear()                  forgets the calls and zeroes the counters below
//   long   RecLogInitCount()              LogInit calls
//   long   RecLogDeinitCount()            LogDeinit calls
//   long   RecLogStrayWrites()            LogWrite calls made while no LogInit was outstanding,
//                                         i.e. through a binding that had already been torn down
//   long   RecLogDeinitsDuringWrites()    LogDeinit calls made while a LogWrite was under way; with
//                                         one module bound, its binding was torn down under a write
