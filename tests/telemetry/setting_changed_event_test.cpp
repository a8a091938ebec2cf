#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host/fake_telemetry.h"
#include "telemetry/setting_changed_event.h"

namespace {

using Telemetry::FilteredNotification;

struct EventCase
{
    bool newValue;
    const bool* oldValue;
    const char* newText;
    const char* oldText;
};

const bool kOn = true;
const bool kOff = false;

class SettingChangedEvent : public ::testing::TestWithParam<EventCase> {};

TEST_P(SettingChangedEvent, CarriesTheValuesAndTheFixedMembers)
{
    FakeTelemetry sink;
    ASSERT_EQ(SendSettingChangedEvent(&sink, qv::WString(L"FileScan"), qv::WString(L"MalwareMonitor"),
                                      GetParam().newValue, GetParam().oldValue),
              0u);
    const std::vector<FilteredNotification> sent = sink.Notifications();
    ASSERT_EQ(sent.size(), 1u);
    const FilteredNotification& event = sent[0];

    ASSERT_TRUE(event.filterKey.isObject());
    EXPECT_EQ(event.filterKey.size(), 5u);
    EXPECT_EQ(event.filterKey["event_name"], Json::Value("m_setting_changed"));
    ASSERT_TRUE(event.filterKey["event_version"].isString());
    EXPECT_EQ(event.filterKey["event_version"].asString(), "2.0");
    EXPECT_EQ(event.filterKey["feature"], Json::Value("FileScan"));
    EXPECT_EQ(event.filterKey["subfeature"], Json::Value("MalwareMonitor"));
    EXPECT_EQ(event.filterKey["setting_name"], Json::Value("Enabled"));

    ASSERT_TRUE(event.filterValue.isObject());
    EXPECT_EQ(event.filterValue.size(), 1u);
    EXPECT_EQ(event.filterValue["new_value"], Json::Value(GetParam().newText));

    ASSERT_TRUE(event.extraData.isObject());
    EXPECT_EQ(event.extraData.size(), 1u);
    EXPECT_EQ(event.extraData["old_value"], Json::Value(GetParam().oldText));

    EXPECT_EQ(event.duration, int64_t{2592000});
}

INSTANTIATE_TEST_SUITE_P(Cases, SettingChangedEvent,
                         ::testing::Values(EventCase{true, nullptr, "on", "<N/A>"},
                                           EventCase{false, nullptr, "off", "<N/A>"},
                                           EventCase{false, &kOn, "off", "on"},
                                           EventCase{true, &kOff, "on", "off"},
                                           EventCase{true, &kOn, "on", "on"}));

TEST(SettingChangedEventSink, NullSinkIsAnInvalidParameter)
{
    EXPECT_EQ(SendSettingChangedEvent(nullptr, qv::WString(L"FileScan"), qv::WString(L"MalwareMonitor"), true, &kOn),
              87u);
}

TEST(SettingChangedEventSink, AnswersThePluginStatus)
{
    FakeTelemetry sink;
    sink.SetResult(1234);
    EXPECT_EQ(SendSettingChangedEvent(&sink, qv::WString(L"FileScan"), qv::WString(L"MalwareMonitor"), true, nullptr),
              1234u);
    EXPECT_EQ(sink.Notifications().size(), 1u);
}

TEST(SettingChangedEventSink, NamesAreSentAsUtf8)
{
    FakeTelemetry sink;
    SendSettingChangedEvent(&sink, qv::WString(L"Fe\u00e4ture"), qv::WString(), true, nullptr);
    const std::vector<FilteredNotification> sent = sink.Notifications();
    ASSERT_EQ(sent.size(), 1u);
    const Json::Value& key = sent[0].filterKey;
    EXPECT_EQ(key["feature"].asString(), "Fe\xC3\xA4ture");
    ASSERT_TRUE(key["subfeature"].isString());
    EXPECT_EQ(key["subfeature"].asString(), "");
}

} // namespace
