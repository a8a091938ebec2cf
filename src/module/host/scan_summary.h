#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "module/host/ion_demand.h"
#include "module/host/ondemand_threat.h"

namespace qv::cvsdk::FileScan {

// The results of a task, filled by the scanner into a summary the caller constructed empty.
struct IOnDemand::ScanSummary
{
    uint8_t reserved0[136] = {};
    std::vector<Threat> threats;
};

#if defined(__i386__)
static_assert(offsetof(IOnDemand::ScanSummary, threats) == 136, "host layout: begin 136, end 140, capacity 144");
#endif

} // namespace qv::cvsdk::FileScan
