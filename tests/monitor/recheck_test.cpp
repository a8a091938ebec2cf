// StartRecheck's answers and the silent task it creates from the full-scan task.
#include <gtest/gtest.h>

#include <cstring>

#include "malware_monitor/task_ids.h"
#include "module/testing/task_builders.h"
#include "monitor_harness.h"

namespace monitor_testing {
namespace {

using testing_records::MakeConfiguredTaskRecord;

struct RecheckCase
{
    const char* what;
    bool enabled;
    bool listed;
    bool fullScanTask;
    bool silentTask;
    bool stopped;
    uint32_t createResult;
    uint32_t result;
    const wchar_t* message; // exact line of the StartRecheck scope, or null
    size_t creates;
};

class RecheckResults : public MonitorTest, public ::testing::WithParamInterface<RecheckCase>
{
};

TEST_P(RecheckResults, AnswerAndLogLine)
{
    const RecheckCase& c = GetParam();
    if (c.listed)
        SeedList({{L"C:\\a.exe", L"A"}});
    SeedEnabled(c.enabled);
    if (c.fullScanTask)
        host.onDemand.AddTask(MakeConfiguredTaskRecord(FULLSCAN_TASK_ID));
    if (c.silentTask)
        host.onDemand.AddTask(MakeConfiguredTaskRecord(SILENT_TASK_ID));
    host.onDemand.SetCreateResult(c.createResult);
    host.onDemand.SetStartResult(7);
    InitAndStart();
    if (c.stopped)
        monitor->Stop();

    EXPECT_EQ(monitor->StartRecheck(), c.result);
    if (c.message != nullptr)
    {
        EXPECT_TRUE(recorder.Contains(c.result == 0 ? LogLevel::Debug : LogLevel::Error, L"MalwareMonitorAL::StartRecheck",
                                      c.message))
            << c.message;
    }
    EXPECT_EQ(host.onDemand.Creates().size(), c.creates);
}

INSTANTIATE_TEST_SUITE_P(
    Monitor, RecheckResults,
    ::testing::Values(
        RecheckCase{"disabled", false, true, true, false, false, 0, 21, L"module disabled", 0},
        RecheckCase{"stopped", true, true, true, false, true, 0, 5023, nullptr, 0},
        RecheckCase{"empty list", true, false, true, false, false, 0, 0, L"no recheck neeeded,list is empty", 0},
        RecheckCase{"no full-scan task", true, true, false, false, false, 0, 5002, L"fullscan task not found", 0},
        RecheckCase{"silent task exists", true, true, true, true, false, 0, 21, L"silentTask already running", 0},
        RecheckCase{"creation fails", true, true, true, false, false, 1455, 1455, L"cannot create silent task [err =1455]", 1},
        RecheckCase{"started", true, true, true, false, false, 0, 7, nullptr, 1}));

TEST_F(MonitorTest, WithoutTheOnAccessScannerTheModuleCountsAsDisabled)
{
    SeedList({{L"C:\\a.exe", L"A"}});
    SeedEnabled(true);
    monitor = std::make_unique<MalwareMonitorAL>(kQuietPoll);
    EXPECT_EQ(monitor->StartRecheck(), 21u) << "before Init no scanner is held";
    EXPECT_TRUE(recorder.Contains(LogLevel::Error, L"MalwareMonitorAL::StartRecheck", L"module disabled"));
}

TEST_F(MonitorTest, SilentTaskCopiesTheFullScanWithItsOwnFieldsAndTargets)
{
    TempFolder folder;
    const std::wstring archive = folder.MakeFile(L"pack.zip");
    SeedList({{archive + L"=>one.exe", L"A"}, {archive + L"=>two.exe", L"B"}, {folder.Path(L"gone.exe"), L"C"}});
    SeedEnabled(true);
    auto fullScan = MakeConfiguredTaskRecord(FULLSCAN_TASK_ID);
    fullScan.sid = L"S-FULL";
    host.onDemand.AddTask(fullScan);
    InitAndStart();

    ASSERT_EQ(monitor->StartRecheck(), 0u);
    const auto creates = host.onDemand.Creates();
    ASSERT_EQ(creates.size(), 1u);
    EXPECT_EQ(creates[0].flags, 0u);
    const auto& silent = creates[0].record;
    EXPECT_EQ(silent.id, SILENT_TASK_ID);
    EXPECT_STREQ(silent.sid.c_str(), L"S-FULL");
    EXPECT_STREQ(silent.name.c_str(), L"");
    EXPECT_EQ(silent.value36, 0);
    EXPECT_EQ(silent.value40, 0u);
    EXPECT_EQ(silent.flag65, 1);
    EXPECT_EQ(silent.flag66, 0);
    EXPECT_EQ(silent.value68, 0u);
    EXPECT_EQ(silent.flag78, 1);
    EXPECT_EQ(silent.flag104, 0);
    for (uint32_t value : {silent.value140, silent.value144, silent.value148, silent.value152, silent.value156})
        EXPECT_EQ(value, 1u);
    EXPECT_EQ(silent.value164, 0u);
    EXPECT_EQ(silent.value244, 0);
    EXPECT_EQ(silent.value272, 0u);
    EXPECT_EQ(silent.value276, 0u);
    ASSERT_EQ(silent.scanTargets.size(), 1u) << "two members of one archive, one file gone";
    EXPECT_STREQ(silent.scanTargets[0].c_str(), archive.c_str());

    const qv::WString* isSilent = silent.properties.Find(qv::WString(L"isSilent"));
    ASSERT_NE(isSilent, nullptr);
    EXPECT_STREQ(isSilent->c_str(), L"true");
    const qv::WString* priority = silent.properties.Find(qv::WString(L"priority"));
    ASSERT_NE(priority, nullptr);
    EXPECT_STREQ(priority->c_str(), L"normal");
    EXPECT_EQ(std::memcmp(silent.reserved44, fullScan.reserved44, sizeof silent.reserved44), 0);
    EXPECT_EQ(std::memcmp(silent.reserved246, fullScan.reserved246, sizeof silent.reserved246), 0);
    EXPECT_EQ(silent.values168.Count(), fullScan.values168.Count());

    const auto starts = host.onDemand.Starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_TRUE(starts[0].sid.empty());
    EXPECT_EQ(starts[0].id, SILENT_TASK_ID);
    EXPECT_EQ(starts[0].processId, ::GetCurrentProcessId());
    EXPECT_EQ(starts[0].reserved1, 0u);
    EXPECT_EQ(starts[0].startFlags, 1028u);
    EXPECT_EQ(starts[0].reserved2, 0u);
}

} // namespace
} // namespace monitor_testing
