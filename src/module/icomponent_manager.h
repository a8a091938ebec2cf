#pragma once
#include <cstdint>

#include "module/interface_id.h"

// Hands out the host's plug-ins by name and id.
struct IComponentManager
{
    // 0 when the plug-in was stored through plugin.
    virtual uint32_t QueryPlugin(const wchar_t* name, InterfaceId id, void** plugin) = 0;
    // Gives back a plug-in obtained by QueryPlugin; the result is not used.
    virtual uint32_t ReleasePlugin(const wchar_t* name) = 0;

protected:
    ~IComponentManager() = default;
};
