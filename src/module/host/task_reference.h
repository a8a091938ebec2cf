#pragma once
#include <cstddef>

#include "module/host/ion_demand.h"
#include "module/interface_id.h"
#include "sdk/qv_string.h"

namespace qv::cvsdk::FileScan {

// Names a task in task events and result queries. sid is empty for the product's system tasks.
struct IOnDemand::TaskReference
{
    InterfaceId id;
    qv::WString sid;
    qv::WString name;
};

#if defined(__i386__)
static_assert(offsetof(IOnDemand::TaskReference, id) == 0, "host layout");
static_assert(offsetof(IOnDemand::TaskReference, sid) == 16, "host layout");
static_assert(offsetof(IOnDemand::TaskReference, name) == 20, "host layout");
#endif

} // namespace qv::cvsdk::FileScan
