#pragma once
// The on-demand scanner "FileScan.OnDemand" for tests. It keeps a task store (look-up, create,
// delete, start), answers a task's results from what the test set for it, and delivers task
// state events to its subscribers on its own thread while the test waits for the delivery.
// Every call is recorded with its arguments; created tasks are kept as the records given.
#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fake_host/event_thread.h"
#include "fake_host/sink_list.h"
#include "module/host/ion_demand.h"
#include "module/host/ondemand_threat.h"
#include "module/host/scan_summary.h"
#include "module/host/task_record.h"
#include "module/host/task_reference.h"
#include "module/host/task_state.h"

class FakeOnDemand final : public qv::cvsdk::FileScan::IOnDemand
{
public:
    using Sinks = SinkList<ITaskEvents>;

    static constexpr uint32_t kTaskNotFound = 1168;
    static constexpr uint32_t kTaskExists = 183;

    struct CreateCall
    {
        TaskRecord record;
        uint32_t flags;
    };
    struct StartCall
    {
        std::wstring sid;
        InterfaceId id;
        uint32_t processId;
        uint32_t reserved1;
        uint32_t startFlags;
        uint32_t reserved2;
    };
    struct TaskCall // look-ups, deletions and result queries
    {
        std::wstring sid;
        InterfaceId id;
    };
    // How a task ends: the completion record (absent when withCompletion is false) and the
    // threats its results hold from then on.
    struct TaskEnd
    {
        std::vector<Threat> threats;
        bool withCompletion = true;
        int32_t runStatus = 0;
        std::wstring scanLogPath;
        bool removeTask = false; // the task leaves the store before the event is delivered
    };

    uint32_t GetTask(qv::WString& sid, const InterfaceId& taskId, TaskRecord& record) override;
    uint32_t CreateTask(const TaskRecord& record, uint32_t flags) override;
    uint32_t DeleteTask(qv::WString& sid, const InterfaceId& taskId) override;
    uint32_t GetTaskResults(const qv::WString& sid, const TaskReference& task, ScanSummary& summary) override;
    uint32_t StartTask(qv::WString& sid, const InterfaceId& taskId, uint32_t processId, uint32_t reserved1,
                       uint32_t startFlags, uint32_t reserved2) override;
    uint32_t Subscribe(ITaskEvents* sink, uint32_t reserved1, uint32_t reserved2) override
    {
        return sinks_.Subscribe(sink, reserved1, reserved2);
    }
    uint32_t Unsubscribe(ITaskEvents* sink, uint32_t reserved1, uint32_t reserved2) override
    {
        return sinks_.Unsubscribe(sink, reserved1, reserved2);
    }

    // The task store, keyed by the record's id.
    void AddTask(const TaskRecord& record);
    bool HasTask(const InterfaceId& id) const;
    std::optional<TaskRecord> Task(const InterfaceId& id) const;

    // Results answered for a task (by sid and id) until changed; a task without results has none.
    void SetResults(const TaskReference& task, std::vector<Threat> threats);
    // Non-zero: every result query fails with it. The same for creation and start.
    void SetResultsFailure(uint32_t result);
    void SetCreateResult(uint32_t result);
    void SetStartResult(uint32_t result);

    // Task events; false when the delivery did not return in time.
    bool ReportTaskRunning(const TaskReference& task);
    bool FinishTask(const TaskReference& task, const TaskEnd& end);

    std::vector<TaskCall> Lookups() const;
    std::vector<CreateCall> Creates() const;
    std::vector<TaskCall> Deletes() const;
    std::vector<StartCall> Starts() const;
    std::vector<TaskCall> ResultQueries() const;
    Sinks& Subscribers() noexcept { return sinks_; }
    DWORD DeliveryThreadId() const noexcept { return thread_.ThreadId(); }

private:
    using IdKey = std::array<uint32_t, 4>;
    static IdKey KeyOf(const InterfaceId& id) { return IdKey{id.w0, id.w1, id.w2, id.w3}; }
    bool DeliverState(const TaskReference& task, uint32_t running, std::optional<TaskCompletion> completion);

    Sinks sinks_;
    mutable std::mutex mutex_;
    std::map<IdKey, TaskRecord> tasks_;
    std::map<std::pair<std::wstring, IdKey>, std::vector<Threat>> results_;
    uint32_t resultsFailure_ = 0;
    uint32_t createResult_ = 0;
    uint32_t startResult_ = 0;
    std::vector<TaskCall> lookups_;
    std::vector<CreateCall> creates_;
    std::vector<TaskCall> deletes_;
    std::vector<StartCall> starts_;
    std::vector<TaskCall> resultQueries_;
    EventThread thread_;
};
