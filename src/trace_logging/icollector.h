#pragma once
#include <cstdint>

#include "sdk/qv_string.h"

namespace qv::Product::Support {

// What the support tooling asks of every collector during a support session.
struct ICollector
{
    // Unnamed in the host's interface; its argument means something only to the host.
    virtual uint32_t Reserved(uint32_t value) = 0;
    virtual uint32_t Collect(uint32_t a, uint32_t b, uint32_t c) = 0;
    virtual uint32_t CleanUp(uint32_t a, uint32_t b, bool remove) = 0;
    virtual qv::WString GetName() = 0;

protected:
    ~ICollector() = default;
};

} // namespace qv::Product::Support
