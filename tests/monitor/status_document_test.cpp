// The stored form of a status, both directions, and what a listener may do with the array.
#include <gtest/gtest.h>

#include <cstring>
#include <new>

#include "malware_monitor/status_document.h"
#include "malware_monitor/testing/threat_builders.h"
#include "monitor_harness.h"
#include "sdk/value_json.h"

namespace monitor_testing {
namespace {

struct DocumentCase
{
    const char* json;
    bool parses;
    uint32_t total;
    std::vector<ItemSpec> items;
};

class StatusDocumentToStatus : public ::testing::TestWithParam<DocumentCase>
{
};

TEST_P(StatusDocumentToStatus, ParsesOrFailsAsAWhole)
{
    const DocumentCase& c = GetParam();
    OwnedMalwareStatus status;
    ASSERT_EQ(status_document::ToStatus(qv::Value::FromJson(ParseJson(c.json)), status), c.parses) << c.json;
    if (!c.parses)
        return;
    EXPECT_EQ(status.Get().totalDetectionCount, c.total);
    std::vector<ItemSpec> items;
    for (uint32_t i = 0; i < status.Get().detections->count; ++i)
        items.emplace_back(status.Get().detections->data[i].object.c_str(),
                           status.Get().detections->data[i].threatName.c_str());
    EXPECT_EQ(items, c.items) << c.json;
}

INSTANTIATE_TEST_SUITE_P(
    Monitor, StatusDocumentToStatus,
    ::testing::Values(
        DocumentCase{R"({"malwarePresent":true,"totalDetectionCount":1,"detections":[{"object":"C:\\a","threatname":"A"}]})",
                     true, 1, {{L"C:\\a", L"A"}}},
        DocumentCase{R"({"malwarePresent":true,"malwareList":[{"path":"C:\\p","threatname":"P"}]})", true, 1,
                     {{L"C:\\p", L"P"}}},
        DocumentCase{R"({"malwarePresent":true,"detections":[{"object":"C:\\a"}]})", true, 1, {{L"C:\\a", L""}}},
        DocumentCase{R"({"malwarePresent":true,"detections":[{"object":"a"},{"object":"b"},{"object":"c"}]})", true, 3,
                     {{L"a", L""}, {L"b", L""}, {L"c", L""}}},
        DocumentCase{R"({"malwarePresent":true,"totalDetectionCount":9,"detections":[{"object":"a"}]})", true, 9,
                     {{L"a", L""}}},
        DocumentCase{R"({"malwarePresent":false,"detections":"not a list"})", true, 0, {}},
        DocumentCase{R"({"malwarePresent":true,"detections":[{"threatname":"A"}]})", false, 0, {}},
        DocumentCase{R"({"malwarePresent":true,"detections":[{"object":5}]})", false, 0, {}},
        DocumentCase{R"({"malwarePresent":true,"detections":["C:\\a"]})", false, 0, {}},
        DocumentCase{R"({"detections":[{"object":"a"}]})", false, 0, {}},
        DocumentCase{R"({"malwarePresent":true,"totalDetectionCount":0})", false, 0, {}},
        DocumentCase{R"({"malwarePresent":true,"totalDetectionCount":"3","detections":[]})", false, 0, {}}));

TEST(StatusDocument, WritesEveryItemAndRefusesAMemberOfAnotherType)
{
    OwnedMalwareStatus status;
    ASSERT_TRUE(status.ResetDetections(2));
    ASSERT_TRUE(detection_array::Append(*status.Get().detections, testing_records::Item(L"C:\\a", L"A")));
    ASSERT_TRUE(detection_array::Append(*status.Get().detections, testing_records::Item(L"C:\\b", L"B")));
    status.Get().malwarePresent = true;
    status.Get().totalDetectionCount = 2;

    qv::Value document = qv::Value::NewDict();
    ASSERT_TRUE(status_document::FromStatus(status.Get(), document));
    EXPECT_EQ(document.ToJson(),
              ParseJson(R"({"malwarePresent":true,"totalDetectionCount":2,
                            "detections":[{"object":"C:\\a","threatname":"A"},{"object":"C:\\b","threatname":"B"}]})"));

    qv::Value clash = qv::Value::FromJson(ParseJson(R"({"malwarePresent":"yes"})"));
    EXPECT_FALSE(status_document::FromStatus(status.Get(), clash));
}

TEST_F(MonitorTest, SavingALongListWritesEveryItem)
{
    std::vector<ItemSpec> items;
    for (int i = 0; i < 6000; ++i)
        items.emplace_back(L"C:\\f" + std::to_wstring(i), L"T");
    SeedList(items);
    InitAndStart();
    monitor->Stop();
    const auto stored = host.settings.Stored(kNode, L"/Status");
    ASSERT_TRUE(stored);
    EXPECT_EQ((*stored)["detections"].size(), 6000u);
    EXPECT_EQ((*stored)["totalDetectionCount"].asUInt(), 6000u);
    EXPECT_TRUE((*stored)["malwarePresent"].asBool());
}

// Acts as a listener in another module: only the array's own functions touch its memory.
class GrowingListener final : public MalwareStatusListener
{
public:
    int OnStatusChanged(const MalwareStatus& status) override
    {
        DetectionArray& array = *status.detections;
        readObject = array.data[0].object.c_str();
        // Grow beyond the exact size the monitor gave it, then add one item.
        const uint32_t grown = array.capacity * 2 + 1;
        void* data = array.reallocate(array.data, sizeof(MalwareItem) * grown);
        if (data == nullptr)
            return 0;
        array.data = static_cast<MalwareItem*>(data);
        array.capacity = grown;
        new (&array.data[array.count]) MalwareItem(testing_records::Item(L"C:\\added", L"Added"));
        ++array.count;
        grewTo = array.count;
        // A block of its own through the same allocator, given back with the stored release.
        void* block = array.allocate(64);
        std::memset(block, 0, 64);
        array.release(block);
        return 0;
    }
    std::wstring readObject;
    uint32_t grewTo = 0;
};

TEST_F(MonitorTest, AListenerReadsGrowsAndUsesTheArraysOwnAllocator)
{
    SeedList({{L"C:\\a.exe", L"A"}});
    SeedEnabled(true);
    InitAndStart();
    GrowingListener growing;
    ASSERT_EQ(monitor->RegisterListener(&growing, 0, 0), 0u);
    ASSERT_TRUE(FinishFullScan({{L"C:\\a.exe", L"A"}}));
    EXPECT_EQ(growing.readObject, L"C:\\a.exe");
    EXPECT_EQ(growing.grewTo, 2u) << "the monitor destroys the grown array with its release function";
    ASSERT_EQ(monitor->UnregisterListener(&growing, 0, 0), 0u);
}

} // namespace
} // namespace monitor_testing
