#pragma once
#include <cstdint>

#include "module/host/isettings_accessor.h"
#include "module/host/reserved_slot.h"
#include "module/interface_id.h"

// The product's settings store, plug-in "CVSettings".
struct ICVSettings
{
    static InterfaceId Id() { return InterfaceId(0xBCFD0D41, 0xA7437BAC, 0xC7A64ED6, 0xA1A3677F); }
    static constexpr const wchar_t* kGetPluginScope = L"ServPlugin<struct ICVSettings>::GetPlugin";

    virtual uint32_t Reserved0() { return kReservedSlotResult; }
    // An accessor for reading below the node, or null when the node cannot be opened.
    virtual ISettingsAccessor* OpenForReading(const wchar_t* node, uint32_t flags) = 0; // slot 1
    // An empty accessor that collects writes until it is committed; null on failure.
    virtual ISettingsAccessor* CreateWriter() = 0; // slot 2
    // Stores the writer's values under the node.
    virtual bool Commit(ISettingsAccessor* writer, const wchar_t* node, uint32_t flags, uint32_t mode) = 0; // slot 3

protected:
    ~ICVSettings() = default;
};
