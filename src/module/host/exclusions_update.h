#pragma once
#include <cstddef>
#include <cstdint>

#include "module/host/exclusion_entry.h"
#include "sdk/qv_string.h"

namespace qv::Product {

// An exclusion update as the exclusion manager reports it to its subscribers.
struct ExclusionsUpdate
{
    qv::WString name;
    uint32_t reason = 0;
    ExclusionList active;
    ExclusionList added;
    ExclusionList removed;
};

#if defined(__i386__)
static_assert(offsetof(ExclusionsUpdate, name) == 0, "host layout");
static_assert(offsetof(ExclusionsUpdate, reason) == 4, "host layout");
static_assert(offsetof(ExclusionsUpdate, active) == 8, "host layout");
static_assert(offsetof(ExclusionsUpdate, added) == 20, "host layout");
static_assert(offsetof(ExclusionsUpdate, removed) == 32, "host layout");
#endif

} // namespace qv::Product
