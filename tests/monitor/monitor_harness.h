#pragma once
// A monitor built directly on the fake host, with the waits, seeds and listener the monitor
// tests share.
#include <windows.h>

#include <json/value.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "fake_host/fake_host.h"
#include "logging/testing/log_recorder.h"
#include "malware_monitor/malware_monitor_al.h"
#include "malware_monitor/monitor_listener.h"

namespace monitor_testing {

constexpr const wchar_t* kNode = L"/FileScan.MalwareMonitor/";
// Long enough that the worker never wakes by itself during a test.
constexpr DWORD kQuietPoll = 600000;

// Polls the condition until it holds or the bound has passed; answers the last outcome.
bool WaitFor(const std::function<bool()>& condition, DWORD boundMs = 5000);

using ItemSpec = std::pair<std::wstring, std::wstring>; // object, threat name
Json::Value StatusDocument(const std::vector<ItemSpec>& items);
std::vector<std::wstring> StoredObjects(const FakeHost& host);
Json::Value ParseJson(const char* text);

struct ReceivedStatus
{
    bool present = false;
    uint32_t total = 0;
    std::vector<ItemSpec> items;
};

// Copies every status it receives.
class RecordingListener final : public MalwareStatusListener
{
public:
    int OnStatusChanged(const MalwareStatus& status) override;
    std::vector<ReceivedStatus> Received() const;

private:
    mutable std::mutex lock_;
    std::vector<ReceivedStatus> received_;
};

// A temporary folder whose files are removed with it.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    std::wstring MakeFile(const std::wstring& name);
    std::wstring Path(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

class MonitorTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    void SeedList(const std::vector<ItemSpec>& items);
    void SeedEnabled(bool enabled);
    // Init and Start; with the monitor enabled, waits until the worker has subscribed.
    void InitAndStart(DWORD pollMs = kQuietPoll);
    bool WorkerSubscribed();
    bool WorkerUnsubscribedEverywhere();
    size_t CommitCount() const { return host.settings.Commits().size(); }
    // Ends the task with these findings, delivered on the on-demand fake's thread.
    bool EndTask(const qv::cvsdk::FileScan::IOnDemand::TaskReference& task, const std::vector<ItemSpec>& threats,
                 int32_t runStatus = 0, bool withCompletion = true, const std::wstring& scanLog = std::wstring());
    bool FinishFullScan(const std::vector<ItemSpec>& threats);

    LogRecorder recorder;
    FakeHost host;
    std::unique_ptr<MalwareMonitorAL> monitor;
    RecordingListener listener;
};

} // namespace monitor_testing
