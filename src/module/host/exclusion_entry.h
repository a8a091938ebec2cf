#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sdk/qv_string.h"

namespace qv::Product {

// One scan exclusion. The meaning of the type numbers is the exclusion manager's.
struct ExclusionEntry
{
    uint32_t type = 0;
    qv::WString value;
};

// Exclusion lists cross the interface as begin, end and capacity-end pointers.
using ExclusionList = std::vector<ExclusionEntry>;

#if defined(__i386__)
static_assert(offsetof(ExclusionEntry, type) == 0, "host layout");
static_assert(offsetof(ExclusionEntry, value) == 4, "host layout");
static_assert(sizeof(ExclusionList) == 12, "begin, end and capacity-end pointers");
#endif

} // namespace qv::Product
