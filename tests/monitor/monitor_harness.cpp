#include "monitor_harness.h"

#include <fstream>

#include <json/reader.h>

#include "malware_monitor/task_ids.h"
#include "malware_monitor/testing/threat_builders.h"
#include "module/testing/task_builders.h"
#include "sdk/utf8.h"

namespace monitor_testing {

bool WaitFor(const std::function<bool()>& condition, DWORD boundMs)
{
    const DWORD start = ::GetTickCount();
    while (!condition())
    {
        if (::GetTickCount() - start > boundMs)
            return condition();
        ::Sleep(2);
    }
    return true;
}

Json::Value StatusDocument(const std::vector<ItemSpec>& items)
{
    Json::Value document(Json::objectValue);
    document["malwarePresent"] = !items.empty();
    document["totalDetectionCount"] = static_cast<Json::UInt>(items.size());
    Json::Value detections(Json::arrayValue);
    for (const ItemSpec& item : items)
    {
        Json::Value element(Json::objectValue);
        element["object"] = qv::ToUtf8String(item.first.c_str());
        element["threatname"] = qv::ToUtf8String(item.second.c_str());
        detections.append(element);
    }
    document["detections"] = detections;
    return document;
}

std::vector<std::wstring> StoredObjects(const FakeHost& host)
{
    std::vector<std::wstring> objects;
    const auto stored = host.settings.Stored(kNode, L"/Status");
    if (!stored)
        return objects;
    for (const Json::Value& element : (*stored)["detections"])
        objects.push_back(qv::FromUtf8(element["object"].asCString()).c_str());
    return objects;
}

Json::Value ParseJson(const char* text)
{
    Json::Value value;
    Json::CharReaderBuilder builder;
    std::string errors;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    const std::string input(text);
    EXPECT_TRUE(reader->parse(input.data(), input.data() + input.size(), &value, &errors)) << text;
    return value;
}

int RecordingListener::OnStatusChanged(const MalwareStatus& status)
{
    ReceivedStatus copy;
    copy.present = status.malwarePresent;
    copy.total = status.totalDetectionCount;
    for (uint32_t i = 0; status.detections != nullptr && i < status.detections->count; ++i)
        copy.items.emplace_back(status.detections->data[i].object.c_str(), status.detections->data[i].threatName.c_str());
    std::lock_guard<std::mutex> guard(lock_);
    received_.push_back(std::move(copy));
    return 0;
}

std::vector<ReceivedStatus> RecordingListener::Received() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return received_;
}

TempFolder::TempFolder()
{
    static LONG counter = 0;
    wchar_t base[MAX_PATH];
    ::GetTempPathW(MAX_PATH, base);
    path_ = std::wstring(base) + L"qv_monitor_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
            std::to_wstring(::InterlockedIncrement(&counter));
    ::CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((path_ + L"\\*").c_str(), &data);
    UniqueFindHandle owner(find);
    if (owner)
    {
        do
        {
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                ::DeleteFileW(Path(data.cFileName).c_str());
        } while (::FindNextFileW(owner.Get(), &data));
    }
    ::RemoveDirectoryW(path_.c_str());
}

std::wstring TempFolder::MakeFile(const std::wstring& name)
{
    const std::wstring file = Path(name);
    std::ofstream(file.c_str()) << "x";
    return file;
}

void MonitorTest::SetUp()
{
    ASSERT_TRUE(recorder.Loaded()) << "the recording log.dll is missing beside the test program";
}

void MonitorTest::TearDown()
{
    if (monitor)
    {
        monitor->UnInit();
        monitor.reset();
    }
    EXPECT_EQ(host.manager.Outstanding(), 0) << "every plug-in taken is given back";
}

void MonitorTest::SeedList(const std::vector<ItemSpec>& items)
{
    host.settings.Seed(kNode, L"/Status", StatusDocument(items));
}

void MonitorTest::SeedEnabled(bool enabled)
{
    host.settings.Seed(kNode, L"/Enabled", Json::Value(enabled));
}

bool MonitorTest::WorkerSubscribed()
{
    return host.onAccess.Subscribers().Count() == 1 && host.onDemand.Subscribers().Count() == 1 &&
           host.updater.Subscribers().Count() == 1;
}

bool MonitorTest::WorkerUnsubscribedEverywhere()
{
    return host.onAccess.Subscribers().Count() == 0 && host.onDemand.Subscribers().Count() == 0 &&
           host.updater.Subscribers().Count() == 0;
}

void MonitorTest::InitAndStart(DWORD pollMs)
{
    monitor = std::make_unique<MalwareMonitorAL>(pollMs);
    ASSERT_EQ(monitor->Init(&host.host), 0u);
    ASSERT_EQ(monitor->Start(), 0u);
    ASSERT_EQ(monitor->RegisterListener(&listener, 0, 0), 0u);
    bool enabled = false;
    monitor->IsEnabled(&enabled);
    if (enabled)
    {
        ASSERT_TRUE(WaitFor([this] { return WorkerSubscribed(); }));
    }
}

bool MonitorTest::EndTask(const qv::cvsdk::FileScan::IOnDemand::TaskReference& task,
                          const std::vector<ItemSpec>& threats, int32_t runStatus, bool withCompletion,
                          const std::wstring& scanLog)
{
    FakeOnDemand::TaskEnd end;
    for (const ItemSpec& threat : threats)
        end.threats.push_back(testing_records::MakeThreat(threat.first.c_str(), threat.second.c_str()));
    end.runStatus = runStatus;
    end.withCompletion = withCompletion;
    end.scanLogPath = scanLog;
    host.onDemand.SetResults(task, end.threats);
    return host.onDemand.FinishTask(task, end);
}

bool MonitorTest::FinishFullScan(const std::vector<ItemSpec>& threats)
{
    return EndTask(testing_records::MakeTaskReference(FULLSCAN_TASK_ID), threats);
}

} // namespace monitor_testing
