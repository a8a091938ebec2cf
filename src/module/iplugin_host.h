#pragma once

struct IComponentManager;

// The host object given to IServPlugin::Init.
struct IPluginHost
{
    // Belongs to the host; the module never calls it.
    virtual void ReservedSlot0() = 0;
    // May answer null.
    virtual IComponentManager* GetComponentManager() = 0;

protected:
    ~IPluginHost() = default;
};
