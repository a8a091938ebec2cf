#pragma once
#include <cstdint>

#include "module/host/reserved_slot.h"
#include "module/interface_id.h"
#include "sdk/qv_string.h"

namespace qv::Product {

struct ExclusionsUpdate;
struct IComponentExclusions;

// The product's exclusion manager, plug-in "Exclusion.Manager". It opens, per scanner
// component, the IComponentExclusions through which exclusions are read and watched.
struct IExclusionManager
{
    static InterfaceId Id() { return InterfaceId(0x270D2F38, 0xBBB0E457, 0xC52F4493, 0xB64C24B4); }
    static constexpr const wchar_t* kGetPluginScope = L"ServPlugin<struct qv::Product::IExclusionManager>::GetPlugin";

    // Exclusion updates, delivered on the manager's threads. Implemented by the module.
    struct IEvents
    {
        // The host never owns a sink; the slot only keeps the table's shape.
        virtual void* DeletingDestructor(unsigned int /*flags*/) { return this; } // slot 0
        virtual uint32_t OnActiveExclusionsUpdated(const ExclusionsUpdate& /*update*/) { return 0; }
        // A fixed value the sink answers; its meaning is the exclusion manager's.
        virtual uint32_t Revision() = 0; // slot 2

    protected:
        ~IEvents() = default;
    };

    virtual uint32_t Reserved0() { return kReservedSlotResult; }
    // 0 when opened; the interface is then stored through exclusions.
    virtual uint32_t OpenComponentExclusions(IComponentExclusions** exclusions, const qv::WString& component) = 0; // slot 1
    virtual uint32_t CloseComponentExclusions(IComponentExclusions* exclusions) = 0; // slot 2

protected:
    ~IExclusionManager() = default;
};

} // namespace qv::Product
