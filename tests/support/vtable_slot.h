#pragma once
// The vtable slot of a virtual member function, read from its pointer-to-member value: g++
// stores 1 + the byte offset of the slot there. Used to check that an interface keeps the slot
// numbers of the host's tables.
#include <cstddef>
#include <cstdint>
#include <cstring>

constexpr size_t kNotVirtual = static_cast<size_t>(-1);

template <typename MemberFunction>
size_t VtableSlot(MemberFunction member)
{
    static_assert(sizeof(MemberFunction) == 2 * sizeof(uintptr_t), "g++ member function pointer");
    uintptr_t raw = 0;
    std::memcpy(&raw, &member, sizeof raw);
    if ((raw & 1) == 0)
        return kNotVirtual;
    return (raw - 1) / sizeof(void*);
}
