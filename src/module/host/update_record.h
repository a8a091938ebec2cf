#pragma once
#include <cstddef>
#include <cstdint>

#include "module/host/iupdate.h"
#include "sdk/qv_string.h"

namespace qv::cvsdk::Update {

// What an update event reports; the module reads only the name of the updated component.
struct IUpdate::UpdateRecord
{
    uint8_t reserved0[24] = {};
    qv::WString component;
};

#if defined(__i386__)
static_assert(offsetof(IUpdate::UpdateRecord, component) == 24, "host layout");
#endif

} // namespace qv::cvsdk::Update
