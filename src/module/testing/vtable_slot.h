#pragma once
#include <cstdint>
#include <cstring>

// Slot number of a virtual member function in its class's vtable, or -1 when it is not virtual.
// g++ stores a pointer to a virtual member as 1 + the slot's byte offset in the vtable.
template <typename MemberFunction>
long VtableSlot(MemberFunction member)
{
    static_assert(sizeof(member) == 2 * sizeof(uintptr_t), "pointer to member function of the Itanium ABI");
    uintptr_t words[2];
    std::memcpy(words, &member, sizeof(words));
    if ((words[0] & 1) == 0)
        return -1;
    return static_cast<long>((words[0] - 1) / sizeof(void*));
}
