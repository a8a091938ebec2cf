#pragma once
#include <cstdint>

#include "module/host/reserved_slot.h"
#include "module/interface_id.h"

namespace qv::cvsdk::FileScan {

struct OnAccessThreat;

// The on-access scanner, plug-in "FileScan.OnAccess".
struct IOnAccess
{
    static InterfaceId Id() { return InterfaceId(0x40581A08, 0x827B6C4B, 0x7866491A, 0x7D52016C); }
    static constexpr const wchar_t* kGetPluginScope =
        L"ServPlugin<struct qv::cvsdk::FileScan::IOnAccess>::GetPlugin";

    // Detections, delivered on the scanner's threads. Implemented by the module.
    struct IScanEvents
    {
        // The host never owns a sink; the slot only keeps the table's shape.
        virtual void* DeletingDestructor(unsigned int /*flags*/) { return this; } // slot 0
        virtual uint32_t OnVirusFound(const OnAccessThreat& /*threat*/, uint32_t /*unused*/) { return 0; }
        virtual uint32_t OnScanEvent2(uintptr_t /*arg*/) { return 0; }

    protected:
        ~IScanEvents() = default;
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
    virtual uint32_t Reserved19() { return kReservedSlotResult; }
    virtual uint32_t Reserved20() { return kReservedSlotResult; }
    virtual uint32_t Reserved21() { return kReservedSlotResult; }
    // Events arrive until Unsubscribe is called with the same arguments.
    virtual uint32_t Subscribe(IScanEvents* sink, uint32_t reserved1, uint32_t reserved2) = 0; // slot 22
    virtual uint32_t Reserved23() { return kReservedSlotResult; }
    virtual uint32_t Reserved24() { return kReservedSlotResult; }
    // No event reaches the sink after this returns.
    virtual uint32_t Unsubscribe(IScanEvents* sink, uint32_t reserved1, uint32_t reserved2) = 0; // slot 25

protected:
    ~IOnAccess() = default;
};

} // namespace qv::cvsdk::FileScan
