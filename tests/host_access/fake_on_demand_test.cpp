#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "fake_host/fake_on_demand.h"
#include "malware_monitor/testing/threat_builders.h"
#include "module/testing/task_builders.h"

namespace {

using qv::cvsdk::FileScan::IOnDemand;
using testing_records::MakeConfiguredTaskRecord;
using testing_records::MakeTaskReference;
using testing_records::MakeThreat;
using testing_records::ThreatSpec;

const InterfaceId kTaskId(1, 2, 3, 4);

std::wstring Property(const IOnDemand::TaskRecord& record, const wchar_t* key)
{
    const qv::WString* value = record.properties.Find(qv::WString(key));
    return value != nullptr ? value->c_str() : L"<none>";
}

TEST(FakeOnDemandStore, KeepsTasksAsGivenAndRecordsEveryCall)
{
    FakeOnDemand onDemand;
    qv::WString sid;
    IOnDemand::TaskRecord found;
    EXPECT_EQ(onDemand.GetTask(sid, kTaskId, found), FakeOnDemand::kTaskNotFound);

    IOnDemand::TaskRecord created = MakeConfiguredTaskRecord(kTaskId);
    created.properties.Insert(qv::WString(L"extra"), qv::WString(L"1"));
    EXPECT_EQ(onDemand.CreateTask(created, 0), 0u);
    EXPECT_EQ(onDemand.CreateTask(created, 0), FakeOnDemand::kTaskExists);
    created.properties.Clear();

    ASSERT_EQ(onDemand.GetTask(sid, kTaskId, found), 0u);
    EXPECT_EQ(found.id, kTaskId);
    EXPECT_EQ(found.value276, 276u);
    EXPECT_EQ(Property(found, L"extra"), L"1");
    EXPECT_EQ(Property(found, L"isSilent"), L"false");
    EXPECT_EQ(found.values168.Count(), 2);
    ASSERT_EQ(onDemand.Creates().size(), 2u);
    EXPECT_EQ(Property(onDemand.Creates()[0].record, L"extra"), L"1");

    EXPECT_EQ(onDemand.StartTask(sid, kTaskId, 42, 0, 1028, 0), 0u);
    ASSERT_EQ(onDemand.Starts().size(), 1u);
    EXPECT_EQ(onDemand.Starts()[0].processId, 42u);
    EXPECT_EQ(onDemand.Starts()[0].startFlags, 1028u);

    EXPECT_EQ(onDemand.DeleteTask(sid, kTaskId), 0u);
    EXPECT_FALSE(onDemand.HasTask(kTaskId));
    EXPECT_EQ(onDemand.StartTask(sid, kTaskId, 42, 0, 1028, 0), FakeOnDemand::kTaskNotFound);
}

// Records what a task event carried, and asks for the results from inside the handler as the
// monitor does.
class RecordingTaskSink final : public IOnDemand::ITaskEvents
{
public:
    explicit RecordingTaskSink(IOnDemand& onDemand) : onDemand_(onDemand) {}

    uint32_t OnTaskStateChanged(const IOnDemand::TaskReference& task, const IOnDemand::TaskState& state) override
    {
        threadId = GetCurrentThreadId();
        running = state.running;
        hasCompletion = state.completion != nullptr;
        if (hasCompletion)
        {
            runStatus = state.completion->runStatus;
            scanLog = state.completion->scanLogPath.c_str();
        }
        IOnDemand::ScanSummary summary;
        resultsAnswer = onDemand_.GetTaskResults(task.sid, task, summary);
        threats = summary.threats.size();
        objectTypes = summary.objectSummaries.Count();
        ++events;
        return 0;
    }

    DWORD threadId = 0;
    uint32_t running = 0;
    bool hasCompletion = false;
    int32_t runStatus = -1;
    std::wstring scanLog;
    uint32_t resultsAnswer = 0;
    size_t threats = 0;
    uint32_t objectTypes = 0;
    int events = 0;

private:
    IOnDemand& onDemand_;
};

TEST(FakeOnDemandEvents, DeliverTaskStatesOnTheScannersThread)
{
    FakeOnDemand onDemand;
    RecordingTaskSink sink(onDemand);
    ASSERT_EQ(onDemand.Subscribe(&sink, 0, 0), 0u);
    const IOnDemand::TaskReference task = MakeTaskReference(kTaskId, L"S-1", L"custom");

    ASSERT_TRUE(onDemand.ReportTaskRunning(task));
    EXPECT_EQ(sink.running, 1u);
    EXPECT_FALSE(sink.hasCompletion);
    EXPECT_EQ(sink.threadId, onDemand.DeliveryThreadId());
    EXPECT_NE(sink.threadId, GetCurrentThreadId());

    ThreatSpec twoTypes{L"C:\\b.exe", L"T"};
    twoTypes.objectTypes = {1, 2};
    FakeOnDemand::TaskEnd end;
    end.threats = {MakeThreat(L"C:\\a.exe", L"T"), MakeThreat(twoTypes)};
    end.runStatus = 5;
    end.scanLogPath = L"C:\\logs\\scan.log";
    ASSERT_TRUE(onDemand.FinishTask(task, end));
    EXPECT_EQ(sink.running, 0u);
    ASSERT_TRUE(sink.hasCompletion);
    EXPECT_EQ(sink.runStatus, 5);
    EXPECT_EQ(sink.scanLog, L"C:\\logs\\scan.log");
    EXPECT_EQ(sink.resultsAnswer, 0u);
    EXPECT_EQ(sink.threats, 2u);
    EXPECT_EQ(sink.objectTypes, 2u);
    ASSERT_EQ(onDemand.ResultQueries().size(), 2u);
    EXPECT_EQ(onDemand.ResultQueries()[1].sid, L"S-1");

    end.withCompletion = false;
    onDemand.SetResultsFailure(31);
    ASSERT_TRUE(onDemand.FinishTask(task, end));
    EXPECT_FALSE(sink.hasCompletion);
    EXPECT_EQ(sink.resultsAnswer, 31u);

    ASSERT_EQ(onDemand.Unsubscribe(&sink, 0, 0), 0u);
    ASSERT_TRUE(onDemand.ReportTaskRunning(task));
    EXPECT_EQ(sink.events, 3);
}

} // namespace
