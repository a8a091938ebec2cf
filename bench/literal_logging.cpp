#include "literal_logging.h"

#include <mmsystem.h>

#include <cwchar>

namespace bench {
namespace {

constexpr uint32_t kDebug = 32;

HMODULE OwnImage()
{
    static const HMODULE self = [] {
        HMODULE module = nullptr;
        ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                             reinterpret_cast<LPCWSTR>(&OwnImage), &module);
        return module;
    }();
    return self;
}

void CopyAtMost(wchar_t* target, const wchar_t* text, size_t limit)
{
    size_t length = 0;
    for (; length < limit && text[length] != L'\0'; ++length)
        target[length] = text[length];
    target[length] = L'\0';
}

} // namespace

HRESULT LiteralWriteNothing(int32_t, const uint32_t*, HMODULE, const wchar_t*, const wchar_t*, va_list)
{
    return E_NOINTERFACE;
}

LiteralLogBinding::~LiteralLogBinding()
{
    delete instance_;
}

void LiteralLogBinding::Lock()
{
    while (::InterlockedExchange(&spin_, 1) == 1)
        ::Sleep(1);
}

void LiteralLogBinding::Unlock()
{
    ::InterlockedExchange(&spin_, 0);
}

void LiteralLogBinding::Acquire(Handle& handle)
{
    Lock();
    if (count_ == 0)
    {
        delete instance_;
        instance_ = new LiteralLogWrite(write_);
    }
    ++count_;
    Unlock();
    handle.instance = instance_;
    ::InterlockedIncrement(&handle.acquisitions);
}

void LiteralLogBinding::Release(Handle& handle)
{
    handle.instance = nullptr;
    LONG left = ::InterlockedDecrement(&handle.acquisitions);
    while (left >= 0)
    {
        Lock();
        if (count_ > 0)
            --count_;
        if (count_ == 0 && instance_ != nullptr)
        {
            delete instance_;
            instance_ = nullptr;
        }
        Unlock();
        left = ::InterlockedDecrement(&handle.acquisitions);
    }
    ::InterlockedIncrement(&handle.acquisitions);
}

void LiteralLogBinding::Write(int32_t nestingChange, uint32_t level, const wchar_t* scope, const wchar_t* format, ...)
{
    if (count_ == 0)
        return;
    Handle temporary;
    Acquire(temporary);
    va_list arguments;
    va_start(arguments, format);
    (*temporary.instance)(nestingChange, &level, OwnImage(), scope, format, arguments);
    va_end(arguments);
    Release(temporary);
}

LiteralTraceScope::LiteralTraceScope(LiteralLogBinding& binding, const wchar_t* name)
    : binding_(binding), startTick_(::timeGetTime())
{
    CopyAtMost(displayName_, name, 257);
    std::wcscat(displayName_, L"()");
    CopyAtMost(scopeName_, name, 259);
    binding_.Write(+1, kDebug, scopeName_, L"-> %s", displayName_);
}

LiteralTraceScope::~LiteralTraceScope()
{
    if (!binding_.InUse())
        return;
    const DWORD elapsed = ::timeGetTime() - startTick_;
    binding_.Write(-1, kDebug, scopeName_, L"<- %s [%d]", displayName_, static_cast<int32_t>(elapsed));
}

} // namespace bench
