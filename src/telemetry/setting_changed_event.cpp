#include "telemetry/setting_changed_event.h"

#include <string>

#include "sdk/utf8.h"

namespace {

constexpr uint32_t kInvalidParameter = 87;
// Thirty days, in seconds.
constexpr int64_t kEventDuration = 2592000;

const char* OnOff(bool value) { return value ? "on" : "off"; }

Json::Value Utf8(const qv::WString& text) { return Json::Value(qv::ToUtf8String(text.c_str())); }

} // namespace

uint32_t SendSettingChangedEvent(TelemetrySink sink, const qv::WString& feature, const qv::WString& subfeature,
                                 bool newValue, const bool* oldValue)
{
    if (sink == nullptr)
        return kInvalidParameter;

    Telemetry::FilteredNotification notification;
    notification.duration = kEventDuration;
    notification.filterKey = Json::Value(Json::objectValue);
    notification.filterKey["event_name"] = "m_setting_changed";
    notification.filterKey["event_version"] = "2.0";
    notification.filterKey["feature"] = Utf8(feature);
    notification.filterKey["subfeature"] = Utf8(subfeature);
    notification.filterKey["setting_name"] = Utf8(qv::WString(L"Enabled"));
    notification.filterValue = Json::Value(Json::objectValue);
    notification.filterValue["new_value"] = OnOff(newValue);
    notification.extraData = Json::Value(Json::objectValue);
    notification.extraData["old_value"] = oldValue != nullptr ? OnOff(*oldValue) : "<N/A>";
    return sink->SendFilteredNotification(notification);
}
