#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "module/host/ion_demand.h"
#include "sdk/qv_string.h"

namespace qv::cvsdk::FileScan {

// One threat of a task's results. The meaning of the status and object-type numbers is
// the scanner's; only the named fields are ours to read.
struct IOnDemand::Threat
{
    enum class Status : uint32_t {};
    enum class ObjectType : uint32_t {};

    qv::WString object;
    uint8_t reserved0[12] = {};
    qv::WString location;
    uint8_t reserved1[12] = {};
    qv::WString threatName;
    uint8_t reserved2[8] = {};
    Status status{};
    uint8_t reserved3[4] = {};
    uint32_t objectTypeOverride = 0;
    uint8_t reserved4[4] = {};
    std::vector<ObjectType> objectTypes;
    uint8_t reserved5[40] = {};
};

#if defined(__i386__)
static_assert(sizeof(IOnDemand::Threat) == 112, "host layout");
static_assert(offsetof(IOnDemand::Threat, object) == 0, "host layout");
static_assert(offsetof(IOnDemand::Threat, location) == 16, "host layout");
static_assert(offsetof(IOnDemand::Threat, threatName) == 32, "host layout");
static_assert(offsetof(IOnDemand::Threat, status) == 44, "host layout");
static_assert(offsetof(IOnDemand::Threat, objectTypeOverride) == 52, "host layout");
static_assert(offsetof(IOnDemand::Threat, objectTypes) == 60, "host layout: begin 60, end 64, capacity 68");
#endif

} // namespace qv::cvsdk::FileScan
