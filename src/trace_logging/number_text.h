#pragma once
#include <windows.h>

#include <cstdint>

// Number texts of the trace settings. Parsing never throws: a text without a digit gives
// ERROR_INVALID_PARAMETER and one that does not fit gives ERROR_ARITHMETIC_OVERFLOW.

// Leading blanks and a sign allowed, stops at the first non-digit, no digits gives 0.
int32_t DecimalTextToInt32(const wchar_t* text);

// Hexadecimal with an optional "0x", read as the C library's unsigned conversions read it.
DWORD HexTextToUInt64(const wchar_t* text, uint64_t& value);
DWORD HexTextToUInt32(const wchar_t* text, uint32_t& value);
