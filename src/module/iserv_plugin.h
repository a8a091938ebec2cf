#pragma once
#include <cstdint>

#include "module/iqv_base_interface.h"

struct IPluginHost;

// Lifecycle that the host drives: Init, Start, later Stop, UnInit.
struct IServPlugin : IQvBaseInterface
{
    static constexpr InterfaceId kId{0x414E2323, 0x983304D0, 0x7C884176, 0xE952825D};

    virtual uint32_t Init(IPluginHost* host) = 0;
    virtual void UnInit() = 0;
    virtual uint32_t Start() = 0;
    virtual void Stop() = 0;

protected:
    ~IServPlugin() = default;
};
