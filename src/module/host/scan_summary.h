#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "module/host/ion_demand.h"
#include "module/host/ondemand_threat.h"
#include "sdk/qv_map.h"

namespace qv::cvsdk::FileScan {

// The results of a task, filled by the scanner into a summary the caller constructed empty.
// The module reads only the threats; the per-object-type summaries are the scanner's.
struct IOnDemand::ScanSummary
{
    // Counters of one object type; their meaning is the scanner's. Copies are deep.
    struct ObjectSummary
    {
        uint64_t counter1 = 0;
        uint64_t counter2 = 0;
        uint64_t counter3 = 0;
        qv::Map<Threat::Status, uint64_t> statusCounts;
    };

    uint8_t reserved0[136] = {};
    std::vector<Threat> threats;
    qv::Map<Threat::ObjectType, ObjectSummary> objectSummaries;
};

#if defined(__i386__)
// The SDK collections have vtables, so the record is not standard-layout; without virtual bases
// g++ still gives exact offsets.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(offsetof(IOnDemand::ScanSummary, threats) == 136, "host layout: begin 136, end 140, capacity 144");
#pragma GCC diagnostic pop
#endif

} // namespace qv::cvsdk::FileScan
