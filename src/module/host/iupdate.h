#pragma once
#include <cstdint>
#include <string>

#include "module/host/reserved_slot.h"
#include "module/interface_id.h"

namespace qv::cvsdk::Update {

// The product's updater, plug-in "Update.UpdateAL".
struct IUpdate
{
    static InterfaceId Id() { return InterfaceId(0x65D481DF, 0xAB2D73B8, 0xC8444855, 0x710D7D67); }
    static constexpr const wchar_t* kGetPluginScope = L"ServPlugin<struct qv::cvsdk::Update::IUpdate>::GetPlugin";

    struct UpdateRecord;

    // Update notifications, delivered on the updater's threads. Implemented by the module, which
    // acts on slot 7 only. No destructor slot. Every slot keeps its argument count: the caller
    // and the callee must agree on the stack size in the 32-bit build.
    struct IEvents
    {
        virtual uint32_t OnUpdateEvent0(uintptr_t, uintptr_t) { return 0; }
        virtual uint32_t OnUpdateEvent1(uintptr_t) { return 0; }
        virtual uint32_t OnUpdateEvent2(uintptr_t, uintptr_t) { return 0; }
        virtual uint32_t OnUpdateEvent3(uintptr_t, uintptr_t) { return 0; }
        virtual uint32_t OnUpdateEvent4(uintptr_t) { return 0; }
        virtual uint32_t OnUpdateEvent5(uintptr_t, uintptr_t) { return 0; }
        virtual uint32_t OnUpdateEvent6(uintptr_t, uintptr_t, uintptr_t) { return 0; }
        virtual uint32_t OnComponentUpdated(const UpdateRecord& /*update*/, uintptr_t /*unused*/) { return 0; } // slot 7
        virtual uint32_t OnUpdateEvent8(uintptr_t) { return 0; }
        virtual uint32_t OnUpdateEvent9(uintptr_t) { return 0; }
        virtual uint32_t OnUpdateEvent10(uintptr_t) { return 0; }
        virtual uint32_t OnUpdateEvent11() { return 0; }
        virtual uint32_t OnUpdateEvent12(uintptr_t) { return 0; }
        virtual uint32_t OnUpdateEvent13(uintptr_t, uintptr_t) { return 0; }
        virtual uint32_t OnUpdateEvent14(uintptr_t, uintptr_t) { return 0; }
        virtual uint32_t OnUpdateEvent15(uintptr_t) { return 0; }

    protected:
        ~IEvents() = default;
    };

    virtual uint32_t Reserved0() { return kReservedSlotResult; }
    virtual uint32_t Reserved1() { return kReservedSlotResult; }
    virtual uint32_t Reserved2() { return kReservedSlotResult; }
    virtual uint32_t Reserved3() { return kReservedSlotResult; }
    virtual uint32_t Reserved4() { return kReservedSlotResult; }
    virtual uint32_t Reserved5() { return kReservedSlotResult; }
    virtual uint32_t Reserved6() { return kReservedSlotResult; }
    virtual uint32_t Reserved7() { return kReservedSlotResult; }
    virtual uint32_t Reserved8() { return kReservedSlotResult; }
    virtual uint32_t Reserved9() { return kReservedSlotResult; }
    virtual uint32_t Reserved10() { return kReservedSlotResult; }
    virtual uint32_t Reserved11() { return kReservedSlotResult; }
    virtual uint32_t Reserved12() { return kReservedSlotResult; }
    virtual uint32_t Reserved13() { return kReservedSlotResult; }
    virtual uint32_t Reserved14() { return kReservedSlotResult; }
    virtual uint32_t Reserved15() { return kReservedSlotResult; }
    virtual uint32_t Reserved16() { return kReservedSlotResult; }
    virtual uint32_t Reserved17() { return kReservedSlotResult; }
    virtual uint32_t Reserved18() { return kReservedSlotResult; }
    // Events arrive until Unsubscribe is called with the same arguments; the module passes an empty filter.
    virtual uint32_t Subscribe(IEvents* sink, uint32_t reserved1, uint32_t reserved2, const std::string& filter) = 0; // slot 19
    // No event reaches the sink after this returns.
    virtual uint32_t Unsubscribe(IEvents* sink, uint32_t reserved1, uint32_t reserved2, const std::string& filter) = 0; // slot 20

protected:
    ~IUpdate() = default;
};

} // namespace qv::cvsdk::Update
