#pragma once
#include <cstdint>

#include "module/host/reserved_slot.h"
#include "module/interface_id.h"
#include "telemetry/filtered_notification.h"

namespace Telemetry {

// The product's telemetry sink, plug-in "Product.Matrix".
class ITelemetry
{
public:
    // The id is parsed from its text at every call.
    static constexpr const wchar_t* kIdText = L"872DA2C0-CDA8-4CEF-8348-02768709E306";
    static InterfaceId Id() { return InterfaceId::FromText(kIdText); }
    static constexpr const wchar_t* kGetPluginScope = L"ServPlugin<class Telemetry::ITelemetry>::GetPlugin";

    virtual uint32_t Reserved0() { return kReservedSlotResult; }
    // The plug-in's status is handed back to the sender unchanged.
    virtual uint32_t SendFilteredNotification(const FilteredNotification& notification) = 0; // slot 1

protected:
    ~ITelemetry() = default;
};

} // namespace Telemetry
