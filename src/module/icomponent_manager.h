#pragma once
#include <cstdint>

#include "module/interface_id.h"

// The host's component manager: hands plug-ins out by name and id and takes them back.
struct IComponentManager
{
    virtual uint32_t QueryPlugin(const wchar_t* name, InterfaceId id, void** plugin) = 0;
    virtual uint32_t ReleasePlugin(const wchar_t* name) = 0;
};
