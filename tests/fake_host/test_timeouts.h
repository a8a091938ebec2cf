#pragma once
#include <windows.h>

#include <chrono>
#include <cwchar>

// Every bounded wait in a test goes through TestTimeoutMs: the 32-bit run executes under
// emulation, where the same work takes many times longer, and sets QV_TEST_TIMEOUT_SCALE.

// Anything but a whole number from 1 to 1000 counts as 1: a typo must not turn waits into hangs.
inline DWORD ParseTestTimeoutScale(const wchar_t* text)
{
    if (text == nullptr || *text == L'\0')
        return 1;
    wchar_t* end = nullptr;
    const unsigned long value = std::wcstoul(text, &end, 10);
    if (*end != L'\0' || value < 1 || value > 1000)
        return 1;
    return static_cast<DWORD>(value);
}

// Stays bounded: a product that would reach INFINITE is clamped just below it.
inline DWORD ScaleTestTimeout(DWORD baseMs, DWORD scale)
{
    if (baseMs == INFINITE)
        return INFINITE;
    const unsigned long long scaled = static_cast<unsigned long long>(baseMs) * scale;
    return scaled >= INFINITE ? INFINITE - 1 : static_cast<DWORD>(scaled);
}

inline DWORD TestTimeoutScale()
{
    static const DWORD scale = [] {
        wchar_t text[16] = {};
        const DWORD length = ::GetEnvironmentVariableW(L"QV_TEST_TIMEOUT_SCALE", text, 16);
        return length < 16 ? ParseTestTimeoutScale(text) : 1;
    }();
    return scale;
}

inline DWORD TestTimeoutMs(DWORD baseMs)
{
    return ScaleTestTimeout(baseMs, TestTimeoutScale());
}

inline std::chrono::milliseconds TestTimeout(std::chrono::milliseconds base)
{
    return base * TestTimeoutScale();
}
