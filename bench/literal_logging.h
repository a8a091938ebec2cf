#pragma once
// The logging facade's per-line path written out plainly: one shared instance with a count and a
// spin flag, and a temporary reference taken and dropped around every line, the trace entry and
// exit lines formatted from a fixed-size copy of the scope name.
#include <windows.h>

#include <cstdarg>
#include <cstdint>

namespace bench {

using LiteralLogWrite = HRESULT (*)(int32_t nestingChange, const uint32_t* level, HMODULE module,
                                    const wchar_t* scope, const wchar_t* format, va_list arguments);

// What writes reach without log.dll.
HRESULT LiteralWriteNothing(int32_t, const uint32_t*, HMODULE, const wchar_t*, const wchar_t*, va_list);

class LiteralLogBinding
{
public:
    struct Handle
    {
        LiteralLogWrite* instance = nullptr;
        volatile LONG acquisitions = 0;
    };

    // write: the LogWrite a fresh instance binds (the library itself is loaded by the caller).
    explicit LiteralLogBinding(LiteralLogWrite write) : write_(write) {}
    ~LiteralLogBinding();
    LiteralLogBinding(const LiteralLogBinding&) = delete;
    LiteralLogBinding& operator=(const LiteralLogBinding&) = delete;

    void Acquire(Handle& handle);
    void Release(Handle& handle);
    bool InUse() const { return count_ != 0; }
    // One line through a temporary handle; dropped while nobody holds the binding.
    void Write(int32_t nestingChange, uint32_t level, const wchar_t* scope, const wchar_t* format, ...);

private:
    void Lock();
    void Unlock();

    LiteralLogWrite write_;
    volatile LONG spin_ = 0;
    LONG count_ = 0;
    LiteralLogWrite* instance_ = nullptr;
};

// A traced method's entry line at construction and exit line at destruction.
class LiteralTraceScope
{
public:
    LiteralTraceScope(LiteralLogBinding& binding, const wchar_t* name);
    ~LiteralTraceScope();
    LiteralTraceScope(const LiteralTraceScope&) = delete;
    LiteralTraceScope& operator=(const LiteralTraceScope&) = delete;

private:
    LiteralLogBinding& binding_;
    DWORD startTick_;
    wchar_t displayName_[260];
    wchar_t scopeName_[260];
};

} // namespace bench
