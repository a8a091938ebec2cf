#include "sdk/utf8.h"

#include <windows.h>

namespace qv {
namespace {

template <typename To, typename From, typename Convert>
To ConvertZeroTerminated(const From* text, Convert convert)
{
    static const From empty[1] = {0};
    if (text == nullptr)
        text = empty;
    To work;
    work.Reallocate(64);
    const int needed = convert(text, nullptr, 0);
    if (needed <= 0)
    {
        To result;
        result.Assign(nullptr);
        return result;
    }
    work.Reserve(static_cast<size_t>(needed));
    convert(text, work.GetBuffer(), needed);
    work.SetLength(To::kAll);
    return work;
}

} // namespace

AString ToUtf8(const wchar_t* text)
{
    return ConvertZeroTerminated<AString>(text, [](const wchar_t* source, char* target, int room) {
        return ::WideCharToMultiByte(CP_UTF8, 0, source, -1, target, room, nullptr, nullptr);
    });
}

WString FromUtf8(const char* text)
{
    return ConvertZeroTerminated<WString>(text, [](const char* source, wchar_t* target, int room) {
        return ::MultiByteToWideChar(CP_UTF8, 0, source, -1, target, room);
    });
}

} // namespace qv
