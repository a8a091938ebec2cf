#pragma once
#include <cstdint>

#include <json/value.h>

namespace Telemetry {

// One telemetry event as the telemetry plug-in receives it. Built by the sender for each
// event; the plug-in reads it for the duration of the call only.
struct FilteredNotification
{
    Json::Value filterKey;
    Json::Value filterValue;
    Json::Value extraData;
    int64_t duration = 0;
};

} // namespace Telemetry
