#include "fake_host/fake_on_demand.h"

using qv::cvsdk::FileScan::IOnDemand;

uint32_t FakeOnDemand::GetTask(qv::WString& sid, const InterfaceId& taskId, TaskRecord& record)
{
    std::lock_guard<std::mutex> lock(mutex_);
    lookups_.push_back(TaskCall{sid.c_str(), taskId});
    const auto it = tasks_.find(KeyOf(taskId));
    if (it == tasks_.end())
        return kTaskNotFound;
    record = it->second;
    return 0;
}

uint32_t FakeOnDemand::CreateTask(const TaskRecord& record, uint32_t flags)
{
    std::lock_guard<std::mutex> lock(mutex_);
    creates_.push_back(CreateCall{record, flags});
    if (createResult_ != 0)
        return createResult_;
    if (!tasks_.emplace(KeyOf(record.id), record).second)
        return kTaskExists;
    return 0;
}

uint32_t FakeOnDemand::DeleteTask(qv::WString& sid, const InterfaceId& taskId)
{
    std::lock_guard<std::mutex> lock(mutex_);
    deletes_.push_back(TaskCall{sid.c_str(), taskId});
    return tasks_.erase(KeyOf(taskId)) != 0 ? 0 : kTaskNotFound;
}

uint32_t FakeOnDemand::GetTaskResults(const qv::WString& sid, const TaskReference& task, ScanSummary& summary)
{
    std::lock_guard<std::mutex> lock(mutex_);
    resultQueries_.push_back(TaskCall{sid.c_str(), task.id});
    if (resultsFailure_ != 0)
        return resultsFailure_;
    const auto it = results_.find(std::make_pair(std::wstring(sid.c_str()), KeyOf(task.id)));
    if (it != results_.end())
        summary.threats = it->second;
    return 0;
}

uint32_t FakeOnDemand::StartTask(qv::WString& sid, const InterfaceId& taskId, uint32_t processId,
                                 uint32_t reserved1, uint32_t startFlags, uint32_t reserved2)
{
    std::lock_guard<std::mutex> lock(mutex_);
    starts_.push_back(StartCall{sid.c_str(), taskId, processId, reserved1, startFlags, reserved2});
    if (startResult_ != 0)
        return startResult_;
    return tasks_.count(KeyOf(taskId)) != 0 ? 0 : kTaskNotFound;
}

void FakeOnDemand::AddTask(const TaskRecord& record)
{
    std::lock_guard<std::mutex> lock(mutex_);
    tasks_.insert_or_assign(KeyOf(record.id), record);
}

bool FakeOnDemand::HasTask(const InterfaceId& id) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return tasks_.count(KeyOf(id)) != 0;
}

std::optional<IOnDemand::TaskRecord> FakeOnDemand::Task(const InterfaceId& id) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = tasks_.find(KeyOf(id));
    if (it == tasks_.end())
        return std::nullopt;
    return it->second;
}

void FakeOnDemand::SetResults(const TaskReference& task, std::vector<Threat> threats)
{
    std::lock_guard<std::mutex> lock(mutex_);
    results_[std::make_pair(std::wstring(task.sid.c_str()), KeyOf(task.id))] = std::move(threats);
}

void FakeOnDemand::SetResultsFailure(uint32_t result)
{
    std::lock_guard<std::mutex> lock(mutex_);
    resultsFailure_ = result;
}

void FakeOnDemand::SetCreateResult(uint32_t result)
{
    std::lock_guard<std::mutex> lock(mutex_);
    createResult_ = result;
}

void FakeOnDemand::SetStartResult(uint32_t result)
{
    std::lock_guard<std::mutex> lock(mutex_);
    startResult_ = result;
}

bool FakeOnDemand::DeliverState(const TaskReference& task, uint32_t running, std::optional<TaskCompletion> completion)
{
    return thread_.RunAndWait([this, task, running, completion]() mutable {
        TaskState state;
        state.running = running;
        state.completion = completion ? &*completion : nullptr;
        sinks_.ForEach([&](ITaskEvents* sink) { sink->OnTaskStateChanged(task, state); });
    });
}

bool FakeOnDemand::ReportTaskRunning(const TaskReference& task) { return DeliverState(task, 1, std::nullopt); }

bool FakeOnDemand::FinishTask(const TaskReference& task, const TaskEnd& end)
{
    SetResults(task, end.threats);
    if (end.removeTask)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        tasks_.erase(KeyOf(task.id));
    }
    std::optional<TaskCompletion> completion;
    if (end.withCompletion)
    {
        completion.emplace();
        completion->runStatus = end.runStatus;
        completion->scanLogPath = end.scanLogPath.c_str();
    }
    return DeliverState(task, 0, std::move(completion));
}

std::vector<FakeOnDemand::TaskCall> FakeOnDemand::Lookups() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return lookups_;
}

std::vector<FakeOnDemand::CreateCall> FakeOnDemand::Creates() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return creates_;
}

std::vector<FakeOnDemand::TaskCall> FakeOnDemand::Deletes() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return deletes_;
}

std::vector<FakeOnDemand::StartCall> FakeOnDemand::Starts() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return starts_;
}

std::vector<FakeOnDemand::TaskCall> FakeOnDemand::ResultQueries() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return resultQueries_;
}
