#include "logging/log_scope.h"

#include <windows.h>
#include <mmsystem.h>

#include <cwchar>

#include "logging/log.h"

namespace {

constexpr size_t kDisplayNameLength = 257;
constexpr size_t kScopeNameLength = 259;

// Copies at most maxLength characters of text and terminates.
void CopyCut(wchar_t* target, const wchar_t* text, size_t maxLength)
{
    size_t length = 0;
    if (text != nullptr)
        while (length < maxLength && text[length] != L'\0')
            ++length;
    if (length != 0)
        std::wmemcpy(target, text, length);
    target[length] = L'\0';
}

void WriteTrace(int32_t nestingChange, const wchar_t* scope, const wchar_t* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    logging::WriteV(nestingChange, LogLevel::Debug, scope, format, arguments);
    va_end(arguments);
}

} // namespace

LogScope::LogScope(const wchar_t* scopeName) : startTick_(::timeGetTime())
{
    CopyCut(displayName_, scopeName, kDisplayNameLength);
    std::wcscat(displayName_, L"()");
    CopyCut(scopeName_, scopeName, kScopeNameLength);
    WriteTrace(+1, scopeName_, L"-> %s", displayName_);
}

LogScope::~LogScope()
{
    const uint32_t elapsed = ::timeGetTime() - startTick_;
    WriteTrace(-1, scopeName_, L"<- %s [%d]", displayName_, static_cast<int32_t>(elapsed));
}
