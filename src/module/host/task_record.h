#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "module/host/exclusion_entry.h"
#include "module/host/ion_demand.h"
#include "module/interface_id.h"
#include "sdk/qv_string.h"

namespace qv::cvsdk::FileScan {

// The scanner's description of a task: it begins like a TaskReference, then holds the task's
// settings. Fields named after their byte position carry settings whose meaning is the
// scanner's; the module copies them and sets some to fixed values.
struct IOnDemand::TaskRecord
{
    InterfaceId id;
    qv::WString sid;
    qv::WString name;
    uint8_t reserved24[12] = {};
    uint16_t value36 = 0;
    uint8_t reserved38[2] = {};
    uint32_t value40 = 0;
    uint8_t reserved44[21] = {};
    uint8_t flag65 = 0;
    uint8_t flag66 = 0;
    uint8_t reserved67[1] = {};
    uint32_t value68 = 0;
    uint8_t reserved72[6] = {};
    uint8_t flag78 = 0;
    uint8_t reserved79[1] = {};
    qv::Product::ExclusionList exclusions;
    std::vector<qv::WString> scanTargets;
    uint8_t flag104 = 0;
    uint8_t reserved105[35] = {};
    uint32_t value140 = 0;
    uint32_t value144 = 0;
    uint32_t value148 = 0;
    uint32_t value152 = 0;
    uint32_t value156 = 0;
    uint8_t reserved160[4] = {};
    uint32_t value164 = 0;
    uint8_t reserved168[76] = {};
    uint16_t value244 = 0;
    uint8_t reserved246[26] = {};
    uint32_t value272 = 0;
    uint32_t value276 = 0;
};

#if defined(__i386__)
static_assert(offsetof(IOnDemand::TaskRecord, id) == 0, "host layout");
static_assert(offsetof(IOnDemand::TaskRecord, sid) == 16, "host layout");
static_assert(offsetof(IOnDemand::TaskRecord, name) == 20, "host layout");
static_assert(offsetof(IOnDemand::TaskRecord, value36) == 36, "host layout");
static_assert(offsetof(IOnDemand::TaskRecord, value40) == 40, "host layout");
static_assert(offsetof(IOnDemand::TaskRecord, flag65) == 65, "host layout");
static_assert(offsetof(IOnDemand::TaskRecord, flag66) == 66, "host layout");
static_assert(offsetof(IOnDemand::TaskRecord, value68) == 68, "host layout");
static_assert(offsetof(IOnDemand::TaskRecord, flag78) == 78, "host layout");
static_assert(offsetof(IOnDemand::TaskRecord, exclusions) == 80, "host layout");
static_assert(offsetof(IOnDemand::TaskRecord, scanTargets) == 92, "host layout");
static_assert(offsetof(IOnDemand::TaskRecord, flag104) == 104, "host layout");
static_assert(offsetof(IOnDemand::TaskRecord, value140) == 140, "host layout");
static_assert(offsetof(IOnDemand::TaskRecord, value144) == 144, "host layout");
static_assert(offsetof(IOnDemand::TaskRecord, value148) == 148, "host layout");
static_assert(offsetof(IOnDemand::TaskRecord, value152) == 152, "host layout");
static_assert(offsetof(IOnDemand::TaskRecord, value156) == 156, "host layout");
static_assert(offsetof(IOnDemand::TaskRecord, value164) == 164, "host layout");
static_assert(offsetof(IOnDemand::TaskRecord, value244) == 244, "host layout");
static_assert(offsetof(IOnDemand::TaskRecord, value272) == 272, "host layout");
static_assert(offsetof(IOnDemand::TaskRecord, value276) == 276, "host layout");
#endif

} // namespace qv::cvsdk::FileScan
