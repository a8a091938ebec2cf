#pragma once
// The host object handed to Init: yields the component manager it was built with (null allowed)
// and counts how often it was asked.
#include <atomic>

#include "module/iplugin_host.h"

class FakePluginHost final : public IPluginHost
{
public:
    explicit FakePluginHost(IComponentManager* manager) : manager_(manager) {}

    void* Reserved0() override { return nullptr; }
    IComponentManager* GetComponentManager() override
    {
        ++requests_;
        return manager_;
    }

    int Requests() const noexcept { return requests_; }

private:
    IComponentManager* manager_;
    std::atomic<int> requests_{0};
};
