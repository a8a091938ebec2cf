// Lifecycle of the monitor built directly: Init results and clean-up, listeners, Start and
// Stop, the worker thread's subscriptions and first recheck, Enable and the stored settings.
#include <gtest/gtest.h>

#include "malware_monitor/task_ids.h"
#include "malware_monitor/testing/threat_builders.h"
#include "module/testing/task_builders.h"
#include "monitor_harness.h"

namespace monitor_testing {
namespace {

using namespace fake_plugin_names;
using testing_records::MakeTaskReference;

struct InitCase
{
    const wchar_t* missing;
    uint32_t result;
    LogLevel level;
    const wchar_t* message;
};

class InitResults : public MonitorTest, public ::testing::WithParamInterface<InitCase>
{
};

TEST_P(InitResults, ResultLogLineAndNothingHeldOrOverwrittenAfterAFailure)
{
    const InitCase& c = GetParam();
    SeedList({{L"C:\\kept.exe", L"Kept"}});
    SeedEnabled(true);
    host.manager.SetMissing(c.missing, true);

    monitor = std::make_unique<MalwareMonitorAL>(kQuietPoll);
    EXPECT_EQ(monitor->Init(&host.host), c.result);
    EXPECT_TRUE(recorder.Contains(c.level, L"MalwareMonitorAL::Init", c.message));
    if (c.result != 0)
    {
        // The failed Init ran UnInit and with it Stop: the stored values must survive that save.
        EXPECT_EQ(host.manager.Outstanding(), 0);
        EXPECT_TRUE(host.settings.Commits().empty());
        EXPECT_EQ(StoredObjects(host), std::vector<std::wstring>{L"C:\\kept.exe"});
        EXPECT_EQ(*host.settings.Stored(kNode, L"/Enabled"), Json::Value(true));
        monitor.reset();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Monitor, InitResults,
    ::testing::Values(InitCase{kSettings, 5002, LogLevel::Error, L"cannot get settings plugin"},
                      InitCase{kOnDemand, 5002, LogLevel::Error, L"cannot get ondemand plugin"},
                      InitCase{kOnAccess, 5002, LogLevel::Error, L"cannot get onaccess plugin"},
                      InitCase{kUpdate, 0, LogLevel::Warning, L"Update plugin not loaded"},
                      InitCase{kTelemetry, 0, LogLevel::Warning, L"Cannot load Telemetry plugin"}));

TEST_F(MonitorTest, WithoutUpdaterTheWorkerSubscribesToTheScannersOnly)
{
    SeedEnabled(true);
    host.manager.SetMissing(kUpdate, true);
    monitor = std::make_unique<MalwareMonitorAL>(kQuietPoll);
    ASSERT_EQ(monitor->Init(&host.host), 0u);
    ASSERT_EQ(monitor->Start(), 0u);
    ASSERT_TRUE(WaitFor([this] {
        return host.onAccess.Subscribers().Count() == 1 && host.onDemand.Subscribers().Count() == 1;
    }));
    monitor->Stop();
    EXPECT_TRUE(host.updater.Subscribers().SubscribeCalls().empty());
}

TEST_F(MonitorTest, UnreadableSettingsAreAWarningAndTheStoreIsLeftAlone)
{
    SeedList({{L"C:\\kept.exe", L"Kept"}});
    SettingsFaults faults;
    faults.openForReading = true;
    host.settings.SetFaults(faults);
    monitor = std::make_unique<MalwareMonitorAL>(kQuietPoll);
    ASSERT_EQ(monitor->Init(&host.host), 0u);
    EXPECT_TRUE(recorder.Contains(LogLevel::Warning, L"MalwareMonitorAL::Init", L"cannot read settings"));
    monitor->Stop();
    EXPECT_TRUE(host.settings.Commits().empty()) << "nothing loaded, nothing of ours to save";
    EXPECT_EQ(StoredObjects(host), std::vector<std::wstring>{L"C:\\kept.exe"});
}

TEST_F(MonitorTest, ListenerRegistrationResults)
{
    InitAndStart();
    RecordingListener other;
    EXPECT_EQ(monitor->RegisterListener(nullptr, 0, 0), 87u);
    EXPECT_EQ(monitor->RegisterListener(&listener, 0, 0), 1627u) << "already registered by the fixture";
    EXPECT_EQ(monitor->UnregisterListener(nullptr, 0, 0), 87u);
    EXPECT_EQ(monitor->UnregisterListener(&other, 0, 0), 1627u);
    EXPECT_EQ(monitor->RegisterListener(&other, 0, 0), 0u);
    EXPECT_EQ(monitor->UnregisterListener(&other, 0, 0), 0u);
    EXPECT_EQ(monitor->UnregisterListener(&other, 0, 0), 1627u);
}

TEST_F(MonitorTest, StartDisabledRunsNoThreadButReportsTheState)
{
    InitAndStart();
    const auto notifications = host.telemetry.Notifications();
    ASSERT_EQ(notifications.size(), 1u);
    EXPECT_EQ(notifications[0].filterValue["new_value"].asString(), "off");
    EXPECT_EQ(notifications[0].extraData["old_value"].asString(), "<N/A>");
    monitor->Stop(); // joins any thread, so a started one would have subscribed by now
    EXPECT_TRUE(host.onAccess.Subscribers().SubscribeCalls().empty());
    EXPECT_TRUE(host.onDemand.Subscribers().SubscribeCalls().empty());
}

TEST_F(MonitorTest, StopReturnsAfterTheWorkerUnsubscribedAndASecondStopSavesNothing)
{
    SeedEnabled(true);
    InitAndStart();
    const DWORD before = ::GetTickCount();
    monitor->Stop();
    EXPECT_LT(::GetTickCount() - before, 3000u) << "the stop event ends the wait at once";
    EXPECT_TRUE(WorkerUnsubscribedEverywhere());
    EXPECT_EQ(host.onAccess.Subscribers().UnsubscribeCalls().size(), 1u);
    EXPECT_EQ(host.onDemand.Subscribers().UnsubscribeCalls().size(), 1u);
    EXPECT_EQ(host.updater.Subscribers().UnsubscribeCalls().size(), 1u);
    EXPECT_TRUE(host.onDemand.Lookups().empty()) << "no recheck decision after the stop event";
    EXPECT_TRUE(recorder.Contains(LogLevel::Debug, L"MalwareMonitorAL::MonitorThread", L"MonitorThread ended!"));

    const size_t commits = CommitCount();
    EXPECT_EQ(commits, 1u);
    monitor->Stop();
    EXPECT_EQ(CommitCount(), commits);
}

TEST_F(MonitorTest, EnableFalseOnARunningMonitorReportsSavesJoinsAndDeletesTheSilentTask)
{
    SeedEnabled(true);
    InitAndStart();
    const size_t notificationsBefore = host.telemetry.Notifications().size();

    EXPECT_EQ(monitor->Enable(false), 0u);
    EXPECT_TRUE(WorkerUnsubscribedEverywhere()) << "Enable returns after the join";
    const auto notifications = host.telemetry.Notifications();
    ASSERT_EQ(notifications.size(), notificationsBefore + 1);
    EXPECT_EQ(notifications.back().filterValue["new_value"].asString(), "off");
    EXPECT_EQ(notifications.back().extraData["old_value"].asString(), "on");
    EXPECT_EQ(*host.settings.Stored(kNode, L"/Enabled"), Json::Value(false));
    const auto deletes = host.onDemand.Deletes();
    ASSERT_EQ(deletes.size(), 1u);
    EXPECT_TRUE(deletes[0].sid.empty());
    EXPECT_EQ(deletes[0].id, SILENT_TASK_ID);

    // The same state again changes nothing.
    const size_t commits = CommitCount();
    EXPECT_EQ(monitor->Enable(false), 0u);
    EXPECT_EQ(CommitCount(), commits);
    EXPECT_EQ(host.telemetry.Notifications().size(), notificationsBefore + 1);
}

TEST_F(MonitorTest, EnableAfterStopSavesAndTheNextStartRunsTheThread)
{
    InitAndStart();
    monitor->Stop();
    EXPECT_EQ(monitor->Enable(true), 0u);
    EXPECT_EQ(*host.settings.Stored(kNode, L"/Enabled"), Json::Value(true));
    EXPECT_TRUE(host.onAccess.Subscribers().SubscribeCalls().empty());
    ASSERT_EQ(monitor->Start(), 0u);
    EXPECT_TRUE(WaitFor([this] { return WorkerSubscribed(); }));
}

TEST_F(MonitorTest, DestroyingARunningMonitorJoinsItsThreadFirst)
{
    SeedEnabled(true);
    InitAndStart();
    monitor.reset();
    EXPECT_TRUE(WorkerUnsubscribedEverywhere());
}

TEST_F(MonitorTest, TheWorkersFirstPassAsksForARecheckEvenWhenNoneIsDue)
{
    TempFolder folder;
    const std::wstring present = folder.MakeFile(L"present.exe");
    SeedList({{present, L"T"}});
    SeedEnabled(true);
    InitAndStart(50);

    // A full scan finding the same file clears the list-changed flag; the first decision
    // consumes the signatures flag. From then on no recheck is due.
    ASSERT_TRUE(FinishFullScan({{present, L"T"}}));
    ASSERT_TRUE(WaitFor([this] {
        monitor->CanStartRecheck();
        return !monitor->CanStartRecheck();
    }));

    ASSERT_EQ(monitor->Enable(false), 0u);
    recorder.Clear();
    const size_t lookups = host.onDemand.Lookups().size();
    ASSERT_EQ(monitor->Enable(true), 0u);
    // No full-scan task exists, so StartRecheck looks it up and declines.
    EXPECT_TRUE(WaitFor([&] { return host.onDemand.Lookups().size() > lookups; }));
    EXPECT_TRUE(recorder.Contains(LogLevel::Error, L"MalwareMonitorAL::StartRecheck", L"fullscan task not found"));
    for (const wchar_t* reason : {L"Exclusions changed", L"List was changed", L"Signatures changed", L"Files were deleted"})
        EXPECT_FALSE(recorder.Contains(LogLevel::Debug, L"MalwareMonitorAL::CanStartRecheck", reason)) << reason;
}

TEST_F(MonitorTest, MalformedStoredValuesStayUntilTheMonitorChangesThem)
{
    host.settings.Seed(kNode, L"/Status", ParseJson(R"({"detections": []})"));
    host.settings.Seed(kNode, L"/Enabled", Json::Value(5));
    InitAndStart();
    EXPECT_TRUE(recorder.Contains(LogLevel::Error, L"MalwareMonitorAL::LoadSettings", L"load valueStatus error"));
    monitor->Stop();
    EXPECT_EQ(*host.settings.Stored(kNode, L"/Status"), ParseJson(R"({"detections": []})"));
    EXPECT_EQ(*host.settings.Stored(kNode, L"/Enabled"), Json::Value(5));

    ASSERT_EQ(monitor->Enable(true), 0u);
    EXPECT_EQ(*host.settings.Stored(kNode, L"/Enabled"), Json::Value(true));
    EXPECT_EQ(*host.settings.Stored(kNode, L"/Status"), ParseJson(R"({"detections": []})"));
}

TEST(MonitorSettingsFile, ListAndStateSurviveADestroyAndRecreate)
{
    LogRecorder recorder;
    ASSERT_TRUE(recorder.Loaded());
    TempFolder folder;
    const std::wstring file = folder.Path(L"settings.json");
    {
        FakeHost host(file);
        host.settings.Seed(kNode, L"/Enabled", Json::Value(true));
        MalwareMonitorAL monitor(kQuietPoll);
        ASSERT_EQ(monitor.Init(&host.host), 0u);
        ASSERT_EQ(monitor.Start(), 0u);
        ASSERT_TRUE(WaitFor([&] { return host.onAccess.Subscribers().Count() == 1; }));
        ASSERT_TRUE(host.onAccess.DeliverVirusFound(testing_records::MakeOnAccessThreat({L"C:\\a.exe", L"Trojan.A"})));
        monitor.Stop();
        monitor.UnInit();
    }
    recorder.Clear();
    FakeHost host(file);
    MalwareMonitorAL monitor(kQuietPoll);
    ASSERT_EQ(monitor.Init(&host.host), 0u);
    bool enabled = false;
    monitor.IsEnabled(&enabled);
    EXPECT_TRUE(enabled);
    EXPECT_TRUE(recorder.Contains(LogLevel::Debug, L"MalwareMonitorAL::LoadSettings",
                                  L"Initial settings [status = 1] [listSize = 1]"));
    monitor.UnInit();
}

} // namespace
} // namespace monitor_testing
