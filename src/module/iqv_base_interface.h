#pragma once
#include "module/interface_id.h"

// Root of every interface that the factory hands out.
struct IQvBaseInterface
{
    static constexpr InterfaceId kId{0x66551AB3, 0xBC90FCA3, 0xF7C5425F, 0x514BE292};

    // The object's interface for id, or null when it has none.
    virtual void* QueryInterface(InterfaceId id) = 0;

protected:
    ~IQvBaseInterface() = default;
};
