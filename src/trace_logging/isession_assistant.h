#pragma once
#include <cstdint>

#include "module/interface_id.h"
#include "trace_logging/icollector.h"

namespace Json {
class Value;
}

namespace qv::Product::Support {

// A collector that can switch extra diagnostics on for the length of a support session.
struct ISessionAssistant : ICollector
{
    static constexpr InterfaceId kId{0x110BBCD6, 0xB1A97886, 0xFB574669, 0x6BC72628};

    virtual uint32_t StartSession(Json::Value& settings, uint32_t value) = 0;
    virtual uint32_t EndSession(Json::Value& settings, uint32_t value) = 0;
    virtual uint32_t ApplyPredefinedSettings(uint32_t value) = 0;

protected:
    ~ISessionAssistant() = default;
};

} // namespace qv::Product::Support
