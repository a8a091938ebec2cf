#pragma once

struct IComponentManager;

// The host object given to Init.
struct IPluginHost
{
    virtual void* Reserved0() = 0;
    virtual IComponentManager* GetComponentManager() = 0;
};
