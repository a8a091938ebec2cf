#include "trace_logging/number_text.h"

#include <cerrno>
#include <cwchar>

namespace {

template <typename Unsigned, typename Convert>
DWORD ParseHex(const wchar_t* text, Unsigned& value, Convert convert)
{
    value = 0;
    if (text == nullptr)
        return ERROR_INVALID_PARAMETER;
    wchar_t* end = nullptr;
    errno = 0;
    const auto parsed = convert(text, &end, 16);
    if (end == text)
        return ERROR_INVALID_PARAMETER;
    if (errno == ERANGE || parsed > static_cast<decltype(parsed)>(static_cast<Unsigned>(-1)))
        return ERROR_ARITHMETIC_OVERFLOW;
    value = static_cast<Unsigned>(parsed);
    return ERROR_SUCCESS;
}

} // namespace

int32_t DecimalTextToInt32(const wchar_t* text)
{
    if (text == nullptr)
        return 0;
    return static_cast<int32_t>(std::wcstol(text, nullptr, 10));
}

DWORD HexTextToUInt64(const wchar_t* text, uint64_t& value)
{
    return ParseHex(text, value, [](const wchar_t* s, wchar_t** e, int base) { return std::wcstoull(s, e, base); });
}

DWORD HexTextToUInt32(const wchar_t* text, uint32_t& value)
{
    // unsigned long is 32 bits on Windows, as the standard conversion for this field.
    return ParseHex(text, value, [](const wchar_t* s, wchar_t** e, int base) { return std::wcstoul(s, e, base); });
}
