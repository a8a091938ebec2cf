// One detection's road through the real qvmodule.dll and the fake host: on-access detection,
// silent recheck over the listed file, a detection cached while it runs, the refresh, the
// status reaching every listener, and the list kept in the settings.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "fake_host/fake_host.h"
#include "malware_monitor/imalware_monitor.h"
#include "malware_monitor/monitor_listener.h"
#include "malware_monitor/task_ids.h"
#include "malware_monitor/testing/threat_builders.h"
#include "module/iserv_plugin.h"
#include "module/testing/qv_module_library.h"
#include "module/testing/task_builders.h"
#include "sdk/utf8.h"

namespace {

using qv::cvsdk::FileScan::MalwareMonitor::IMalwareMonitor;
using namespace testing_records;

struct ReceivedStatus
{
    bool present;
    uint32_t total;
    std::vector<std::wstring> objects;
};

// Copies what it receives, as a listener in another module must.
class RecordingListener final : public MalwareStatusListener
{
public:
    int OnStatusChanged(const MalwareStatus& status) override
    {
        ReceivedStatus copy{status.malwarePresent, status.totalDetectionCount, {}};
        for (uint32_t i = 0; status.detections != nullptr && i < status.detections->count; ++i)
            copy.objects.push_back(status.detections->data[i].object.c_str());
        std::lock_guard<std::mutex> guard(lock);
        received.push_back(copy);
        return 0;
    }
    std::vector<ReceivedStatus> Received()
    {
        std::lock_guard<std::mutex> guard(lock);
        return received;
    }

private:
    std::mutex lock;
    std::vector<ReceivedStatus> received;
};

class TempFolder
{
public:
    TempFolder()
    {
        wchar_t base[MAX_PATH];
        ::GetTempPathW(MAX_PATH, base);
        path = std::wstring(base) + L"qv_road_" + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(path.c_str(), nullptr);
    }
    ~TempFolder()
    {
        for (const std::wstring& file : files)
            ::DeleteFileW(file.c_str());
        ::RemoveDirectoryW(path.c_str());
    }
    std::wstring MakeFile(const wchar_t* name)
    {
        std::wstring file = path + L"\\" + name;
        std::ofstream(file.c_str()) << "x";
        files.push_back(file);
        return file;
    }
    std::wstring path;
    std::vector<std::wstring> files;
};

std::vector<std::wstring> StoredObjects(const FakeHost& host)
{
    std::vector<std::wstring> objects;
    const auto stored = host.settings.Stored(L"/FileScan.MalwareMonitor/", L"/Status");
    if (!stored)
        return objects;
    for (const Json::Value& element : (*stored)["detections"])
        objects.push_back(qv::FromUtf8(element["object"].asCString()).c_str());
    return objects;
}

TEST(DetectionRoad, DetectionRecheckCacheRefreshPublishAndPersist)
{
    TempFolder folder;
    const std::wstring infected = folder.MakeFile(L"infected.exe");
    const std::wstring later = folder.MakeFile(L"later.exe");

    FakeHost host;
    host.onDemand.AddTask(MakeConfiguredTaskRecord(FULLSCAN_TASK_ID));
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
    RecordingListener first, second;
    ASSERT_EQ(monitor->RegisterListener(&first, 0, 0), 0u);
    ASSERT_EQ(monitor->RegisterListener(&second, 0, 0), 0u);

    // The worker thread subscribes on its own; wait until the scanners see it.
    for (int i = 0; i < 500 && host.onAccess.Subscribers().Count() == 0; ++i)
        ::Sleep(10);
    ASSERT_EQ(host.onAccess.Subscribers().Count(), 1u);

    // 1. On-access detection: listed and saved.
    ASSERT_TRUE(host.onAccess.DeliverVirusFound(MakeOnAccessThreat({infected.c_str(), L"Trojan.A"})));
    EXPECT_EQ(StoredObjects(host), std::vector<std::wstring>{infected});

    // 2. Recheck: the silent task copies the full scan with the listed file as its target.
    ASSERT_EQ(monitor->StartRecheck(), 0u);
    const auto creates = host.onDemand.Creates();
    ASSERT_EQ(creates.size(), 1u);
    EXPECT_EQ(creates[0].record.id, SILENT_TASK_ID);
    ASSERT_EQ(creates[0].record.scanTargets.size(), 1u);
    EXPECT_STREQ(creates[0].record.scanTargets[0].c_str(), infected.c_str());
    ASSERT_EQ(host.onDemand.Starts().size(), 1u);

    // 3. While it runs, a new detection is cached (and already kept in the settings).
    const TaskReference silentTask = MakeTaskReference(SILENT_TASK_ID);
    ASSERT_TRUE(host.onDemand.ReportTaskRunning(silentTask));
    ASSERT_TRUE(host.onAccess.DeliverVirusFound(MakeOnAccessThreat({later.c_str(), L"Worm.B"})));
    EXPECT_EQ(StoredObjects(host), (std::vector<std::wstring>{infected, later}));
    EXPECT_TRUE(first.Received().empty());

    // 4. The silent task ends and still finds the first file: list = findings + cache.
    FakeOnDemand::TaskEnd end;
    end.threats.push_back(MakeThreat(infected.c_str(), L"Trojan.A"));
    host.onDemand.SetResults(silentTask, end.threats);
    ASSERT_TRUE(host.onDemand.FinishTask(silentTask, end));

    for (RecordingListener* listener : {&first, &second})
    {
        const auto received = listener->Received();
        ASSERT_EQ(received.size(), 1u);
        EXPECT_TRUE(received[0].present);
        EXPECT_EQ(received[0].total, 2u);
        EXPECT_EQ(received[0].objects, (std::vector<std::wstring>{infected, later}));
    }
    EXPECT_EQ(StoredObjects(host), (std::vector<std::wstring>{infected, later}));

    EXPECT_EQ(monitor->UnregisterListener(&first, 0, 0), 0u);
    EXPECT_EQ(monitor->UnregisterListener(&second, 0, 0), 0u);
    plugin->Stop();
    EXPECT_EQ(host.onAccess.Subscribers().Count(), 0u) << "Stop returns after the thread unsubscribed";
    plugin->UnInit();
    module.Destroy(L"FileScan.MalwareMonitor", object);
    EXPECT_EQ(host.manager.Outstanding(), 0) << "every plug-in taken is given back";
}

} // namespace
