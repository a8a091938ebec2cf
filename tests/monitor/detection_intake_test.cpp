// Detections reaching the monitor on the fake scanners' threads: the on-access filter, the
// cache during a recheck, the end of every kind of task, update events and the log lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "malware_monitor/task_ids.h"
#include "malware_monitor/testing/threat_builders.h"
#include "module/testing/task_builders.h"
#include "monitor_harness.h"

namespace monitor_testing {
namespace {

using testing_records::MakeOnAccessThreat;
using testing_records::MakeTaskReference;
using testing_records::OnAccessSpec;

constexpr InterfaceId kCustomTaskId{0x11111111, 0x2222, 0x3333, 0x44444444};

struct FilterCase
{
    const char* what;
    OnAccessSpec spec;
    bool listed;
};

TEST_F(MonitorTest, OnAccessFilterDecidesWhatIsListed)
{
    const FilterCase cases[] = {
        {"Yara rule", {L"C:\\1", L"Yara:rule", 4, {1}, false, L""}, false},
        {"Yara rule even with bypass", {L"C:\\2", L"Yara:rule", 7, {1}, true, L""}, false},
        {"yara in lower case is a name", {L"C:\\3", L"yara:rule", 4, {1}, false, L""}, true},
        {"bypass with status 7", {L"C:\\4", L"T", 7, {1}, true, L""}, true},
        {"status 7 without bypass", {L"C:\\5", L"T", 7, {1}, false, L""}, false},
        {"status 3", {L"C:\\6", L"T", 3, {1}, false, L""}, true},
        {"status 3, no types, backslash location", {L"C:\\7", L"T", 3, {}, false, L"\\\\server"}, true},
        {"last type not 1", {L"C:\\8", L"T", 4, {1, 2}, false, L""}, false},
        {"last type 1", {L"C:\\9", L"T", 4, {2, 1}, false, L""}, true},
        {"backslash location", {L"C:\\10", L"T", 4, {1}, false, L"\\net"}, false},
        {"other location", {L"C:\\11", L"T", 4, {1}, false, L"C:"}, true},
        {"bypass skips type and location", {L"C:\\12", L"T", 0, {2}, true, L"\\net"}, true},
    };
    SeedEnabled(true);
    InitAndStart();
    for (const FilterCase& c : cases)
    {
        ASSERT_TRUE(host.onAccess.DeliverVirusFound(MakeOnAccessThreat(c.spec))) << c.what;
        const auto stored = StoredObjects(host);
        const bool listed = !stored.empty() && stored.back() == c.spec.object;
        EXPECT_EQ(listed, c.listed) << c.what;
    }
    EXPECT_TRUE(listener.Received().empty()) << "detections alone publish nothing";
}

TEST_F(MonitorTest, TheSameDetectionTwiceIsListedAndSavedOnce)
{
    SeedEnabled(true);
    InitAndStart();
    const auto threat = MakeOnAccessThreat({L"C:\\twice.exe", L"T"});
    ASSERT_TRUE(host.onAccess.DeliverVirusFound(threat));
    const size_t commits = CommitCount();
    ASSERT_TRUE(host.onAccess.DeliverVirusFound(threat));
    EXPECT_EQ(CommitCount(), commits);
    EXPECT_EQ(StoredObjects(host), std::vector<std::wstring>{L"C:\\twice.exe"});
}

TEST_F(MonitorTest, DisabledMonitorIgnoresDetections)
{
    InitAndStart();
    // Not subscribed while disabled; the handler itself still refuses.
    EXPECT_EQ(monitor->OnVirusFound(MakeOnAccessThreat({L"C:\\x.exe", L"T"}), 0), 0u);
    EXPECT_TRUE(recorder.Contains(LogLevel::Debug, L"MalwareMonitorAL::OnVirusFound", L"Feature Disabled"));
    EXPECT_TRUE(host.settings.Commits().empty());
}

TEST_F(MonitorTest, CachedDuringRecheckSavedAtOnceListedAfterTheSilentTask)
{
    SeedList({{L"C:\\old.exe", L"Old"}});
    SeedEnabled(true);
    InitAndStart();
    const auto silent = MakeTaskReference(SILENT_TASK_ID);
    ASSERT_TRUE(host.onDemand.ReportTaskRunning(silent));

    const auto threat = MakeOnAccessThreat({L"C:\\new.exe", L"New"});
    ASSERT_TRUE(host.onAccess.DeliverVirusFound(threat));
    ASSERT_TRUE(host.onAccess.DeliverVirusFound(threat));
    EXPECT_TRUE(recorder.Contains(LogLevel::Debug, L"MalwareMonitorAL::OnVirusFound", L"Threat [ C:\\new.exe ] cached."));
    // Held back from the list, yet stored once: the cache keeps the list's equality.
    EXPECT_EQ(StoredObjects(host), (std::vector<std::wstring>{L"C:\\old.exe", L"C:\\new.exe"}));

    ASSERT_TRUE(EndTask(silent, {}));
    const auto received = listener.Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].items, (std::vector<ItemSpec>{{L"C:\\new.exe", L"New"}}));
    EXPECT_EQ(received[0].total, 1u);
    EXPECT_EQ(StoredObjects(host), std::vector<std::wstring>{L"C:\\new.exe"});
}

TEST_F(MonitorTest, PrintfDirectivesInNamesAreLoggedAsText)
{
    SeedEnabled(true);
    InitAndStart();
    ASSERT_TRUE(host.onDemand.ReportTaskRunning(MakeTaskReference(SILENT_TASK_ID)));
    ASSERT_TRUE(host.onAccess.DeliverVirusFound(MakeOnAccessThreat({L"C:\\%s%n%x.exe", L"%s%n%x"})));
    EXPECT_TRUE(recorder.Contains(LogLevel::Debug, L"MalwareMonitorAL::OnVirusFound", L"Threat [ C:\\%s%n%x.exe ] cached."));

    ASSERT_TRUE(EndTask(MakeTaskReference(kCustomTaskId, L"%s%n%x", L"%n%n%s"), {{L"C:\\%n.exe", L"%n"}}));
    EXPECT_TRUE(recorder.Contains(LogLevel::Info, L"MalwareMonitorAL::AppendToMalwareList",
                                  L"Added threat to cache [name = C:\\%n.exe] [status = 4]"));
    bool taskLine = false;
    for (const LogLine& line : recorder.Lines())
        taskLine = taskLine || line.text.rfind(L"Task finished [sid = %s%n%x] [id = ", 0) == 0;
    EXPECT_TRUE(taskLine);
}

// How a task ends, and what it must do to the list (seeded with C:\\old.exe).
struct TaskEndCase
{
    const char* what;
    InterfaceId id;
    const wchar_t* sid;
    bool silentRunning; // the silent task reported running first
    std::vector<ItemSpec> threats;
    int32_t runStatus;
    bool withCompletion;
    std::vector<std::wstring> listAfter;
    bool published;
    bool saved;
    const wchar_t* warning; // a Warning line expected, or null
};

class TaskEnds : public MonitorTest, public ::testing::WithParamInterface<TaskEndCase>
{
};

TEST_P(TaskEnds, ChangeTheListAsTheirKindAllows)
{
    const TaskEndCase& c = GetParam();
    TempFolder folder;
    const std::wstring scanLog = folder.MakeFile(L"scan.log");
    SeedList({{L"C:\\old.exe", L"Old"}});
    SeedEnabled(true);
    InitAndStart();
    const auto task = MakeTaskReference(c.id, c.sid, L"Task");
    if (c.silentRunning)
    {
        ASSERT_TRUE(host.onDemand.ReportTaskRunning(task));
    }
    const size_t commits = CommitCount();

    ASSERT_TRUE(EndTask(task, c.threats, c.runStatus, c.withCompletion, scanLog));

    monitor->Stop();
    EXPECT_EQ(StoredObjects(host), c.listAfter);
    EXPECT_EQ(listener.Received().size(), c.published ? 1u : 0u);
    // Stop saves once more; the task's own save comes before it.
    EXPECT_EQ(CommitCount(), commits + (c.saved ? 2 : 1));
    if (c.warning != nullptr)
    {
        bool found = false;
        for (const LogLine& line : recorder.Lines())
            found = found || (line.level == LogLevel::Warning && line.text.rfind(c.warning, 0) == 0);
        EXPECT_TRUE(found) << c.warning;
    }
    const bool silentWithCompletion = c.id == SILENT_TASK_ID && std::wstring(c.sid).empty() && c.withCompletion;
    EXPECT_EQ(::GetFileAttributesW(scanLog.c_str()) == INVALID_FILE_ATTRIBUTES, silentWithCompletion)
        << "only the silent task's scan log is deleted";
}

const std::vector<ItemSpec> kNew{{L"C:\\new.exe", L"New"}};
const std::vector<std::wstring> kOld{L"C:\\old.exe"};
const std::vector<std::wstring> kOldAndNew{L"C:\\old.exe", L"C:\\new.exe"};
const std::vector<std::wstring> kNewOnly{L"C:\\new.exe"};

INSTANTIATE_TEST_SUITE_P(
    Monitor, TaskEnds,
    ::testing::Values(
        TaskEndCase{"full scan without threats empties", FULLSCAN_TASK_ID, L"", false, {}, 0, true, {}, true, true, nullptr},
        TaskEndCase{"full scan replaces", FULLSCAN_TASK_ID, L"", false, kNew, 0, true, kNewOnly, true, true, nullptr},
        TaskEndCase{"interrupted full scan", FULLSCAN_TASK_ID, L"", false, kNew, 1, true, kOld, false, false, nullptr},
        TaskEndCase{"full scan without completion", FULLSCAN_TASK_ID, L"", false, kNew, 0, false, kOld, false, false,
                    L"Cannot obtain FullScan completion status [intermediaryThreatCount = 1]"},
        TaskEndCase{"custom task with the full-scan id", FULLSCAN_TASK_ID, L"S-1-5", false, kNew, 0, true, kOldAndNew,
                    false, true, nullptr},
        TaskEndCase{"custom task", kCustomTaskId, L"", false, kNew, 0, true, kOldAndNew, false, true, nullptr},
        TaskEndCase{"custom task without threats", kCustomTaskId, L"", false, {}, 0, true, kOld, false, false, nullptr},
        TaskEndCase{"silent task while no recheck runs", SILENT_TASK_ID, L"", false, kNew, 0, true, kOld, false, false,
                    nullptr},
        TaskEndCase{"silent task after running", SILENT_TASK_ID, L"", true, kNew, 0, true, kNewOnly, true, true, nullptr},
        TaskEndCase{"interrupted silent task", SILENT_TASK_ID, L"", true, kNew, 2, true, kOld, false, false, nullptr},
        TaskEndCase{"silent task without completion", SILENT_TASK_ID, L"", true, kNew, 0, false, kOld, false, false,
                    L"Cannot obtain silent task completion status [intermediaryThreatCount = 1]"}));

TEST_F(MonitorTest, TaskResultsThatCannotBeObtainedChangeNothing)
{
    SeedList({{L"C:\\old.exe", L"Old"}});
    SeedEnabled(true);
    InitAndStart();
    host.onDemand.SetResultsFailure(5);
    const size_t commits = CommitCount();
    ASSERT_TRUE(FinishFullScan({}));
    EXPECT_EQ(CommitCount(), commits);
    EXPECT_TRUE(listener.Received().empty());
    bool found = false;
    for (const LogLine& line : recorder.Lines())
        found = found || (line.level == LogLevel::Warning && line.text.rfind(L"Cannot obtain results for task [sid = ] [id = ", 0) == 0);
    EXPECT_TRUE(found);
}

TEST_F(MonitorTest, AFullListPublishesTheNewest5000WithTheFullCount)
{
    std::vector<ItemSpec> items;
    for (int i = 0; i < 5001; ++i)
        items.emplace_back(L"C:\\f" + std::to_wstring(i), L"T");
    SeedList(items);
    SeedEnabled(true);
    InitAndStart();
    ASSERT_TRUE(FinishFullScan(items));
    const auto received = listener.Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_TRUE(received[0].present);
    EXPECT_EQ(received[0].total, 5001u);
    ASSERT_EQ(received[0].items.size(), 5000u);
    EXPECT_EQ(received[0].items.front().first, L"C:\\f1");
    EXPECT_EQ(received[0].items.back().first, L"C:\\f5000");
}

TEST_F(MonitorTest, UpdateOfTheAntivirusComponentInAnyCaseMakesARecheckDue)
{
    TempFolder folder;
    const std::wstring present = folder.MakeFile(L"present.exe");
    SeedList({{present, L"T"}});
    SeedEnabled(true);
    InitAndStart();
    ASSERT_TRUE(FinishFullScan({{present, L"T"}})); // clears the list-changed flag
    monitor->CanStartRecheck();                    // consumes the signatures flag
    ASSERT_FALSE(monitor->CanStartRecheck());

    const struct
    {
        const wchar_t* component;
        bool due;
    } cases[] = {{L"ANTIVIRUS", true}, {L"antivirus", true}, {L"Antispam", false}, {nullptr, false}, {L"", false}};
    for (const auto& c : cases)
    {
        ASSERT_TRUE(host.updater.DeliverComponentUpdated(c.component));
        EXPECT_EQ(monitor->CanStartRecheck(), c.due) << (c.component ? c.component : L"(null)");
        EXPECT_FALSE(monitor->CanStartRecheck()) << "every decision clears the flag";
    }

    std::vector<uint32_t> answers;
    ASSERT_TRUE(host.updater.DeliverOtherEvents(answers));
    EXPECT_EQ(answers, std::vector<uint32_t>(15, 0u));
    EXPECT_FALSE(monitor->CanStartRecheck()) << "other update events change nothing";

    auto* scanEvents = static_cast<qv::cvsdk::FileScan::IOnAccess::IScanEvents*>(monitor.get());
    auto* taskEvents = static_cast<qv::cvsdk::FileScan::IOnDemand::ITaskEvents*>(monitor.get());
    EXPECT_EQ(scanEvents->OnScanEvent2(1), 0u);
    EXPECT_EQ(taskEvents->OnTaskEvent1(1, 2, 3), 0u);
    EXPECT_EQ(taskEvents->OnTaskEvent3(1, 2), 0u);
    EXPECT_EQ(taskEvents->OnTaskEvent4(1, 2, 3), 0u);

    ASSERT_TRUE(::DeleteFileW(present.c_str()));
    EXPECT_TRUE(monitor->CanStartRecheck());
    EXPECT_TRUE(recorder.Contains(LogLevel::Debug, L"MalwareMonitorAL::CanStartRecheck", L"Files were deleted"));
}

} // namespace
} // namespace monitor_testing
