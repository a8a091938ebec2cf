#pragma once
#include <cstdint>

#include "module/host/exclusion_entry.h"
#include "module/host/iexclusion_manager.h"
#include "module/host/reserved_slot.h"

namespace qv::Product {

// The exclusions of one scanner component, opened through IExclusionManager.
struct IComponentExclusions
{
    virtual uint32_t Reserved0() { return kReservedSlotResult; }
    // 0 when subscribed; updates arrive until Unsubscribe is called with the same arguments.
    virtual uint32_t Subscribe(IExclusionManager::IEvents* sink, uint32_t reserved1, uint32_t reserved2) = 0; // slot 1
    // No update reaches the sink after this returns.
    virtual uint32_t Unsubscribe(IExclusionManager::IEvents* sink, uint32_t reserved1, uint32_t reserved2) = 0; // slot 2
    virtual uint32_t Reserved3() { return kReservedSlotResult; }
    virtual uint32_t Reserved4() { return kReservedSlotResult; }
    virtual uint32_t Reserved5() { return kReservedSlotResult; }
    virtual uint32_t Reserved6() { return kReservedSlotResult; }
    virtual uint32_t Reserved7() { return kReservedSlotResult; }
    virtual uint32_t Reserved8() { return kReservedSlotResult; }
    virtual uint32_t Reserved9() { return kReservedSlotResult; }
    virtual uint32_t Reserved10() { return kReservedSlotResult; }
    // Fills the list with the component's active exclusions.
    virtual uint32_t GetActiveExclusions(ExclusionList& exclusions) = 0; // slot 11

protected:
    ~IComponentExclusions() = default;
};

} // namespace qv::Product
