// A listener in another module than qvmodule.dll receives the status array and works on it
// only through the functions the array carries.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "fake_host/fake_host.h"
#include "malware_monitor/imalware_monitor.h"
#include "malware_monitor/monitor_listener.h"
#include "malware_monitor/task_ids.h"
#include "malware_monitor/testing/threat_builders.h"
#include "module/iserv_plugin.h"
#include "module/testing/qv_module_library.h"
#include "module/testing/task_builders.h"

namespace {

using qv::cvsdk::FileScan::MalwareMonitor::IMalwareMonitor;
using namespace testing_records;

class ForeignListener final : public MalwareStatusListener
{
public:
    int OnStatusChanged(const MalwareStatus& status) override
    {
        DetectionArray& array = *status.detections;
        calls++;
        total = status.totalDetectionCount;
        if (array.count > 0)
            firstObject = array.data[0].object.c_str();
        // Room for more, through the module's own reallocate; the module frees the larger block.
        const uint32_t grown = array.capacity * 2 + 4;
        if (void* data = array.reallocate(array.data, sizeof(MalwareItem) * grown))
        {
            array.data = static_cast<MalwareItem*>(data);
            array.capacity = grown;
            grewTo = grown;
        }
        void* block = array.allocate(128);
        if (block != nullptr)
        {
            std::memset(block, 0x5a, 128);
            array.release(block);
            usedAllocator = true;
        }
        return 0;
    }
    int calls = 0;
    uint32_t total = 0;
    std::wstring firstObject;
    uint32_t grewTo = 0;
    bool usedAllocator = false;
};

TEST(MonitorDllListener, ReadsGrowsAndUsesTheModulesAllocatorAcrossTheModuleBoundary)
{
    FakeHost host;
    Json::Value status(Json::objectValue);
    status["malwarePresent"] = true;
    status["detections"] = Json::Value(Json::arrayValue);
    Json::Value element(Json::objectValue);
    element["object"] = "C:\\listed.exe";
    element["threatname"] = "T";
    status["detections"].append(element);
    host.settings.Seed(L"/FileScan.MalwareMonitor/", L"/Status", status);
    host.settings.Seed(L"/FileScan.MalwareMonitor/", L"/Enabled", Json::Value(true));

    QvModuleLibrary module;
    ASSERT_TRUE(module.Loaded());
    void* object = nullptr;
    ASSERT_EQ(module.Create(L"FileScan.MalwareMonitor", IServPlugin::kId, &object), 0u);
    auto* plugin = static_cast<IServPlugin*>(object);
    auto* monitor = static_cast<IMalwareMonitor*>(plugin->QueryInterface(IMalwareMonitor::kId));
    ASSERT_NE(monitor, nullptr);
    ASSERT_EQ(plugin->Init(&host.host), 0u);
    ASSERT_EQ(plugin->Start(), 0u);
    ForeignListener listener;
    ASSERT_EQ(monitor->RegisterListener(&listener, 0, 0), 0u);
    for (int i = 0; i < 500 && host.onDemand.Subscribers().Count() == 0; ++i)
        ::Sleep(10);
    ASSERT_EQ(host.onDemand.Subscribers().Count(), 1u);

    FakeOnDemand::TaskEnd end;
    end.threats.push_back(MakeThreat(L"C:\\listed.exe", L"T"));
    ASSERT_TRUE(host.onDemand.FinishTask(MakeTaskReference(FULLSCAN_TASK_ID), end));

    EXPECT_EQ(listener.calls, 1);
    EXPECT_EQ(listener.total, 1u);
    EXPECT_EQ(listener.firstObject, L"C:\\listed.exe");
    EXPECT_EQ(listener.grewTo, 6u);
    EXPECT_TRUE(listener.usedAllocator);

    EXPECT_EQ(monitor->UnregisterListener(&listener, 0, 0), 0u);
    plugin->Stop();
    plugin->UnInit();
    module.Destroy(L"FileScan.MalwareMonitor", object);
    EXPECT_EQ(host.manager.Outstanding(), 0);
}

} // namespace
