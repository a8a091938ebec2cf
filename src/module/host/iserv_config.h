#pragma once
#include <cstdint>

#include "module/host/reserved_slot.h"
#include "module/interface_id.h"

// The product's configuration, plug-in "productinfo".
struct IServConfig
{
    static InterfaceId Id() { return InterfaceId(0x5666C9D0, 0x666B9724, 0x61084666, 0xF666C93D); }
    static constexpr const wchar_t* kGetPluginScope = L"ServPlugin<struct IServConfig>::GetPlugin";

    virtual uint32_t Reserved0() { return kReservedSlotResult; }
    virtual uint32_t Reserved1() { return kReservedSlotResult; }
    virtual uint32_t Reserved2() { return kReservedSlotResult; }
    virtual uint32_t Reserved3() { return kReservedSlotResult; }
    virtual uint32_t Reserved4() { return kReservedSlotResult; }
    virtual uint32_t Reserved5() { return kReservedSlotResult; }
    // A borrowed text (the product folder for kind 2 and key "product"), or null.
    virtual const wchar_t* GetString(uint32_t kind, const wchar_t* key) = 0; // slot 6

protected:
    ~IServConfig() = default;
};
