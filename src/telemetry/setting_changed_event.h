#pragma once
#include <cstdint>

#include "module/host/itelemetry.h"
#include "sdk/qv_string.h"

// Where telemetry events go: the borrowed telemetry plug-in, null when it is missing.
using TelemetrySink = Telemetry::ITelemetry*;

// Reports the value of the "Enabled" setting of a feature as the event "m_setting_changed".
// oldValue null: there is no previous value. Answers the plug-in's status, or 87 for a null sink.
uint32_t SendSettingChangedEvent(TelemetrySink sink, const qv::WString& feature, const qv::WString& subfeature,
                                 bool newValue, const bool* oldValue);
