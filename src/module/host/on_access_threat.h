#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sdk/qv_string.h"

namespace qv::cvsdk::FileScan {

// One on-access detection as the scanner hands it to IOnAccess::IScanEvents::OnVirusFound.
// Only the named fields are ours to read; the reserved bytes keep the host's positions.
struct OnAccessThreat
{
    static constexpr uint8_t kFilterBypass = 0x01;

    qv::WString object;
    uint8_t reserved0[12] = {};
    qv::WString location;
    qv::WString threatName;
    uint8_t reserved1[8] = {};
    uint32_t status = 0;
    uint8_t reserved2[4] = {};
    uint8_t flags = 0;
    uint8_t reserved3[11] = {};
    std::vector<uint32_t> objectTypes;

    bool FilterBypass() const noexcept { return (flags & kFilterBypass) != 0; }
};

#if defined(__i386__)
static_assert(offsetof(OnAccessThreat, object) == 0, "host layout");
static_assert(offsetof(OnAccessThreat, location) == 16, "host layout");
static_assert(offsetof(OnAccessThreat, threatName) == 20, "host layout");
static_assert(offsetof(OnAccessThreat, status) == 32, "host layout");
static_assert(offsetof(OnAccessThreat, flags) == 40, "host layout");
static_assert(offsetof(OnAccessThreat, objectTypes) == 52, "host layout: begin 52, end 56");
#endif

} // namespace qv::cvsdk::FileScan
