#pragma once
#include <cstddef>
#include <cstdint>

#include "module/host/ion_demand.h"
#include "sdk/qv_string.h"

namespace qv::cvsdk::FileScan {

// How a task ended. runStatus 0: it ran to its end.
struct IOnDemand::TaskCompletion
{
    qv::WString scanLogPath;
    uint8_t reserved0[12] = {};
    int32_t runStatus = 0;
};

// State reported with a task event. completion is null when the scanner has none to give.
struct IOnDemand::TaskState
{
    uint8_t reserved0[4] = {};
    uint32_t running = 0;
    uint8_t reserved1[176] = {};
    TaskCompletion* completion = nullptr;
};

#if defined(__i386__)
static_assert(offsetof(IOnDemand::TaskCompletion, scanLogPath) == 0, "host layout");
static_assert(offsetof(IOnDemand::TaskCompletion, runStatus) == 16, "host layout");
static_assert(offsetof(IOnDemand::TaskState, running) == 4, "host layout");
static_assert(offsetof(IOnDemand::TaskState, completion) == 184, "host layout");
#endif

} // namespace qv::cvsdk::FileScan
