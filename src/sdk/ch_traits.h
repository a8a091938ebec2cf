#pragma once
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace qv {

// Character primitives of the string; formatting goes to msvcrt so that %s in a wide
// format takes a wide string, as the host's modules expect.
template <typename Ch>
struct ChTraitsCRT;

template <>
struct ChTraitsCRT<wchar_t>
{
    static size_t Length(const wchar_t* s) { return s ? std::wcslen(s) : 0; }
    static int Measure(const wchar_t* format, va_list args) { return _vscwprintf(format, args); }
    static int Print(wchar_t* buffer, size_t room, const wchar_t* format, va_list args)
    {
        return _vsnwprintf(buffer, room, format, args);
    }
};

template <>
struct ChTraitsCRT<char>
{
    static size_t Length(const char* s) { return s ? std::strlen(s) : 0; }
    static int Measure(const char* format, va_list args) { return _vscprintf(format, args); }
    static int Print(char* buffer, size_t room, const char* format, va_list args)
    {
        return _vsnprintf(buffer, room, format, args);
    }
};

} // namespace qv
