#pragma once
#include <cstdint>

// 128-bit id of an interface, plug-in or scan task: four little-endian 32-bit words, w0 lowest.
// Not the Windows GUID memory layout.
struct InterfaceId
{
    uint32_t w0 = 0;
    uint32_t w1 = 0;
    uint32_t w2 = 0;
    uint32_t w3 = 0;

    constexpr InterfaceId() = default;
    constexpr InterfaceId(uint32_t a0, uint32_t a1, uint32_t a2, uint32_t a3) : w0(a0), w1(a1), w2(a2), w3(a3) {}

    // Text form 8-4-4-4-12 hex digits, optionally braced; fields that do not parse count as 0.
    static InterfaceId FromText(const wchar_t* text);

    friend constexpr bool operator==(const InterfaceId& a, const InterfaceId& b)
    {
        return a.w0 == b.w0 && a.w1 == b.w1 && a.w2 == b.w2 && a.w3 == b.w3;
    }
    friend constexpr bool operator!=(const InterfaceId& a, const InterfaceId& b) { return !(a == b); }
};

static_assert(sizeof(InterfaceId) == 16, "InterfaceId crosses module boundaries by value");
