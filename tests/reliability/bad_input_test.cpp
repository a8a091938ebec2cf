// Whatever the host hands over, the module neither crashes nor corrupts what it stores: null and
// empty strings, paths of the longest length, odd arrays and status values, huge scan results,
// records without their optional parts, and stored documents of every wrong shape.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fake_host/fake_host.h"
#include "logging/testing/log_recorder.h"
#include "malware_monitor/imalware_monitor.h"
#include "malware_monitor/monitor_listener.h"
#include "malware_monitor/task_ids.h"
#include "malware_monitor/testing/threat_builders.h"
#include "module/host/task_state.h"
#include "module/host/update_record.h"
#include "module/iserv_plugin.h"
#include "module/testing/qv_module_library.h"
#include "module/testing/task_builders.h"
#include "sdk/utf8.h"

namespace {

using qv::cvsdk::FileScan::IOnAccess;
using qv::cvsdk::FileScan::IOnDemand;
using qv::cvsdk::FileScan::MalwareMonitor::IMalwareMonitor;
using qv::cvsdk::Update::IUpdate;
using namespace testing_records;

constexpr const wchar_t* kNode = L"/FileScan.MalwareMonitor/";
constexpr size_t kLongestPath = 32767;

class CountingListener final : public MalwareStatusListener
{
public:
    int OnStatusChanged(const MalwareStatus& status) override
    {
        last = status.totalDetectionCount;
        published = status.detections != nullptr ? status.detections->count : 0;
        ++calls;
        return 0;
    }
    int calls = 0;
    uint32_t last = 0;
    uint32_t published = 0;
};

// The monitor of the real DLL, started over a fake host, with its sinks to call directly.
class RunningMonitor
{
public:
    explicit RunningMonitor(const std::optional<Json::Value>& status = std::nullopt)
    {
        host.settings.Seed(kNode, L"/Enabled", Json::Value(true));
        if (status)
            host.settings.Seed(kNode, L"/Status", *status);
        host.onDemand.AddTask(MakeConfiguredTaskRecord(FULLSCAN_TASK_ID));
        void* object = nullptr;
        if (!module.Loaded() || module.Create(L"FileScan.MalwareMonitor", IServPlugin::kId, &object) != 0)
            return;
        plugin = static_cast<IServPlugin*>(object);
        monitor = static_cast<IMalwareMonitor*>(plugin->QueryInterface(IMalwareMonitor::kId));
        if (plugin->Init(&host.host) != 0 || plugin->Start() != 0)
            return;
        for (int i = 0; i < 1000 && host.updater.Subscribers().Count() == 0; ++i)
            ::Sleep(10);
        const auto scans = host.onAccess.Subscribers().SubscribeCalls();
        const auto tasks = host.onDemand.Subscribers().SubscribeCalls();
        const auto updates = host.updater.Subscribers().SubscribeCalls();
        if (!scans.empty() && !tasks.empty() && !updates.empty())
        {
            scanSink = scans[0].sink;
            taskSink = tasks[0].sink;
            updateSink = updates[0].sink;
        }
    }
    ~RunningMonitor() { Finish(); }

    bool Ready() const { return scanSink != nullptr && taskSink != nullptr && updateSink != nullptr; }

    // Stop (and its save), UnInit and destroy; once.
    void Finish()
    {
        if (plugin == nullptr)
            return;
        plugin->Stop();
        plugin->UnInit();
        module.Destroy(L"FileScan.MalwareMonitor", plugin);
        plugin = nullptr;
    }

    std::vector<std::wstring> StoredObjects() const
    {
        std::vector<std::wstring> objects;
        const auto stored = host.settings.Stored(kNode, L"/Status");
        if (stored && stored->isObject())
            for (const Json::Value& element : (*stored)["detections"])
                objects.push_back(qv::FromUtf8(element["object"].asCString()).c_str());
        return objects;
    }

    LogRecorder recorder;
    FakeHost host;
    QvModuleLibrary module;
    IServPlugin* plugin = nullptr;
    IMalwareMonitor* monitor = nullptr;
    IOnAccess::IScanEvents* scanSink = nullptr;
    IOnDemand::ITaskEvents* taskSink = nullptr;
    IUpdate::IEvents* updateSink = nullptr;
};

TEST(BadInput, OnAccessRecordsOfEveryOddShape)
{
    RunningMonitor run;
    ASSERT_TRUE(run.Ready());
    const std::wstring longest(kLongestPath, L'p');

    struct Case
    {
        const char* name;
        const OnAccessThreat* threat; // not copied: a copy would allocate the null strings
        bool listed;
    };
    OnAccessThreat nulls; // every string null, no object types
    nulls.status = 4;
    OnAccessThreat empties = MakeOnAccessThreat({L"", L"", 3, {1}, false, L""});
    OnAccessThreat longPath = MakeOnAccessThreat({longest.c_str(), longest.c_str(), 4, {1}, false, longest.c_str()});
    OnAccessThreat hugeTypes = MakeOnAccessThreat({L"C:\\huge_types.exe", L"T", 4, {}, false, L"C:\\x"});
    hugeTypes.objectTypes.assign(1 << 20, 1);
    OnAccessThreat unknownStatus = MakeOnAccessThreat({L"C:\\unknown_status.exe", L"T", 0xFFFFFFFFu, {1}, false, L""});
    OnAccessThreat bypassNulls;
    bypassNulls.flags = OnAccessThreat::kFilterBypass | 0xFE;
    bypassNulls.status = 0xDEADBEEF;
    const Case cases[] = {
        {"null strings", &nulls, true},
        {"empty strings", &empties, false}, // equal to the null item already listed
        {"longest path", &longPath, true},
        {"a million object types", &hugeTypes, true},
        {"unknown status", &unknownStatus, false},
        {"bypass with every flag bit and null strings", &bypassNulls, false}, // equal to the null item
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const size_t before = run.StoredObjects().size();
        EXPECT_EQ(run.scanSink->OnVirusFound(*c.threat, 0xFFFFFFFFu), 0u);
        EXPECT_EQ(run.StoredObjects().size(), before + (c.listed ? 1 : 0));
    }
    const auto stored = run.StoredObjects();
    EXPECT_NE(std::find(stored.begin(), stored.end(), longest), stored.end()) << "the longest path is kept whole";
    EXPECT_NE(std::find(stored.begin(), stored.end(), std::wstring()), stored.end()) << "null strings are stored as \"\"";
}

TEST(BadInput, TaskAndUpdateRecordsWithoutTheirParts)
{
    RunningMonitor run;
    ASSERT_TRUE(run.Ready());
    CountingListener listener;
    ASSERT_EQ(run.monitor->RegisterListener(&listener, 0, 0), 0u);

    TaskReference nullStrings; // null sid and name, zero id
    TaskReference silent = MakeTaskReference(SILENT_TASK_ID);
    TaskReference full = MakeTaskReference(FULLSCAN_TASK_ID);
    IOnDemand::TaskState noCompletion;
    IOnDemand::TaskState oddRunning;
    oddRunning.running = 0xFFFFFFFFu;
    IOnDemand::TaskCompletion nullLog; // null scan-log path
    IOnDemand::TaskState nullLogState;
    nullLogState.completion = &nullLog;
    IOnDemand::TaskCompletion negative;
    negative.runStatus = INT32_MIN;
    IOnDemand::TaskState negativeState;
    negativeState.completion = &negative;

    // Results a scan cannot hold all of: the list keeps its limit, a status its 5000.
    std::vector<Threat> many;
    for (int i = 0; i < 12000; ++i)
    {
        const std::wstring object = L"C:\\many\\" + std::to_wstring(i) + L".exe";
        many.push_back(MakeThreat(object.c_str(), L"Many"));
    }
    ThreatSpec odd;
    odd.object = nullptr;
    odd.threatName = nullptr;
    odd.location = nullptr;
    odd.status = 0xFFFFFFFFu;
    odd.objectTypes.assign(100000, 2);
    many.push_back(MakeThreat(odd));
    run.host.onDemand.SetResults(full, many);
    run.host.onDemand.SetResults(nullStrings, many);

    struct Case
    {
        const char* name;
        const TaskReference* task;
        const IOnDemand::TaskState* state;
    };
    const Case cases[] = {
        {"null strings, ended without completion, thousands of results", &nullStrings, &noCompletion},
        {"silent task without completion", &silent, &noCompletion},
        {"full scan without completion", &full, &noCompletion},
        {"odd running indicator", &silent, &oddRunning},
        {"silent task with a null scan log", &silent, &nullLogState},
        {"full scan interrupted with the lowest status", &full, &negativeState},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(run.taskSink->OnTaskStateChanged(*c.task, *c.state), 0u);
    }

    IUpdate::UpdateRecord nullComponent;
    EXPECT_EQ(run.updateSink->OnComponentUpdated(nullComponent, 0), 0u);

    // A successful full scan of 12001 results, one of them all odd: the list takes its limit, the
    // status its newest 5000.
    IOnDemand::TaskCompletion done;
    IOnDemand::TaskState doneState;
    doneState.completion = &done;
    EXPECT_EQ(run.taskSink->OnTaskStateChanged(full, doneState), 0u);
    EXPECT_EQ(run.StoredObjects().size(), 10001u);
    ASSERT_GE(listener.calls, 1);
    EXPECT_EQ(listener.last, 10001u);
    EXPECT_EQ(listener.published, 5000u);
    EXPECT_EQ(run.monitor->UnregisterListener(&listener, 0, 0), 0u);
}

// A flood during a recheck: repeats are logged each time but neither kept twice nor stored
// again, and the cache keeps what the list could still take, up to the list's own limit.
TEST(BadInput, DetectionFloodDuringARecheckStaysBounded)
{
    constexpr int kStoredItems = 9990;
    Json::Value elements(Json::arrayValue);
    std::vector<Threat> stillFound;
    for (int i = 0; i < kStoredItems; ++i)
    {
        const std::wstring object = L"C:\\stored\\" + std::to_wstring(i) + L".exe";
        elements.append(Json::Value(Json::objectValue));
        elements[i]["object"] = qv::ToUtf8String(object.c_str());
        elements[i]["threatname"] = "T";
        stillFound.push_back(MakeThreat(object.c_str(), L"T"));
    }
    Json::Value document(Json::objectValue);
    document["malwarePresent"] = true;
    document["detections"] = elements;
    RunningMonitor run(document);
    ASSERT_TRUE(run.Ready());
    ::Sleep(300); // the worker clears the recheck flag once it is set up; the report comes after
    const TaskReference silent = MakeTaskReference(SILENT_TASK_ID);
    IOnDemand::TaskState running;
    running.running = 1;
    ASSERT_EQ(run.taskSink->OnTaskStateChanged(silent, running), 0u);

    const OnAccessThreat repeated = MakeOnAccessThreat({L"C:\\flood\\same.exe", L"Flood"});
    const size_t commitsBefore = run.host.settings.Commits().size();
    for (int i = 0; i < 3000; ++i)
        run.scanSink->OnVirusFound(repeated, 0);
    EXPECT_EQ(run.host.settings.Commits().size(), commitsBefore + 1) << "stored once, not once per repeat";
    size_t cachedLines = 0;
    for (const LogLine& line : run.recorder.Lines())
        cachedLines += line.text == L"Threat [ C:\\flood\\same.exe ] cached." ? 1 : 0;
    EXPECT_EQ(cachedLines, 3000u) << "every repeat keeps its log line";

    for (int i = 0; i < 15; ++i) // room for 11 of them
    {
        const std::wstring object = L"C:\\flood\\" + std::to_wstring(i) + L".exe";
        run.scanSink->OnVirusFound(MakeOnAccessThreat({object.c_str(), L"Flood"}), 0);
    }
    const auto stored = run.StoredObjects();
    ASSERT_EQ(stored.size(), 10001u) << "the stored list stops at the list's limit";
    EXPECT_EQ(stored[kStoredItems], L"C:\\flood\\same.exe");
    EXPECT_EQ(stored.back(), L"C:\\flood\\9.exe") << "the first detections that fit are the ones kept";

    // The recheck ends finding the stored files still infected: the list takes the cache up to its limit.
    run.host.onDemand.SetResults(silent, stillFound);
    IOnDemand::TaskCompletion done;
    IOnDemand::TaskState ended;
    ended.completion = &done;
    ASSERT_EQ(run.taskSink->OnTaskStateChanged(silent, ended), 0u);
    EXPECT_EQ(run.StoredObjects(), stored);
}

Json::Value Detections(const Json::Value& elements)
{
    Json::Value document(Json::objectValue);
    document["malwarePresent"] = true;
    document["detections"] = elements;
    return document;
}

Json::Value Element(const Json::Value& object, const Json::Value& threatName)
{
    Json::Value element(Json::objectValue);
    element["object"] = object;
    element["threatname"] = threatName;
    return element;
}

Json::Value Array(std::initializer_list<Json::Value> values)
{
    Json::Value array(Json::arrayValue);
    for (const Json::Value& value : values)
        array.append(value);
    return array;
}

Json::Value Nested(int depth, Json::Value inner)
{
    for (int i = 0; i < depth; ++i)
        inner = Array({inner});
    return inner;
}

Json::Value Without(Json::Value document, const char* key)
{
    document.removeMember(key);
    return document;
}

struct DocumentCase
{
    const char* name;
    Json::Value document;
    int loads; // items the list takes; -1: the load fails
};

std::vector<DocumentCase> DocumentCases()
{
    const Json::Value good = Detections(Array({Element("C:\\a.exe", "T")}));
    Json::Value legacy(Json::objectValue);
    legacy["malwarePresent"] = true;
    Json::Value legacyElement(Json::objectValue);
    legacyElement["path"] = "C:\\legacy.exe";
    legacy["malwareList"] = Array({legacyElement});
    Json::Value huge(Json::arrayValue);
    for (int i = 0; i < 20000; ++i)
        huge.append(Element("C:\\huge\\" + std::to_string(i), "T"));
    Json::Value deepExtra = Element("C:\\deep.exe", "T");
    deepExtra["extra"] = Nested(500, "x");
    Json::Value wrongCount = good;
    wrongCount["totalDetectionCount"] = "1";
    Json::Value hugeCount = good;
    hugeCount["totalDetectionCount"] = 1e12;
    return {
        {"current form", good, 1},
        {"earlier form with path", legacy, 1},
        {"non-ASCII and control characters", Detections(Array({Element(u8"C:\\\u00fc\u03a9\u4e2d\\\u00e9\t.exe", u8"\u00c4")})), 1},
        {"detections not an array", Detections(5), 0},
        {"detections a dictionary", Detections(Json::Value(Json::objectValue)), 0},
        {"twenty thousand elements", Detections(huge), 20000},
        {"deeply nested extra member", Detections(Array({deepExtra})), 1},
        {"count out of range", hugeCount, 1},
        {"no presence flag", Without(good, "malwarePresent"), -1},
        {"neither list key", Without(good, "detections"), -1},
        {"element not a dictionary", Detections(Array({5})), -1},
        {"element deeply nested", Detections(Array({Nested(500, Element("C:\\n.exe", "T"))})), -1},
        {"object of another type", Detections(Array({Element(5, "T")})), -1},
        {"threat name of another type", Detections(Array({Element("C:\\a.exe", true)})), -1},
        {"element without object and path", Detections(Array({Without(Element("C:\\a.exe", "T"), "object")})), -1},
        {"count as a string", wrongCount, -1},
        {"document an array", Array({good}), -1},
        {"document a string", Json::Value("status"), -1},
        {"document null", Json::Value(), -1},
    };
}

TEST(BadInput, StoredDocumentsLoadByTheRulesOrStayUntouched)
{
    for (const DocumentCase& c : DocumentCases())
    {
        SCOPED_TRACE(c.name);
        RunningMonitor run(c.document);
        ASSERT_TRUE(run.Ready());
        run.Finish();
        const auto stored = run.host.settings.Stored(kNode, L"/Status");
        ASSERT_TRUE(stored.has_value());
        const bool failed = run.recorder.Contains(LogLevel::Error, L"MalwareMonitorAL::LoadSettings", L"load valueStatus error");
        if (c.loads < 0)
        {
            EXPECT_TRUE(failed);
            EXPECT_EQ(*stored, c.document) << "a document that cannot be read is left as it was";
        }
        else
        {
            EXPECT_FALSE(failed);
            EXPECT_TRUE(run.recorder.Contains(LogLevel::Debug, L"MalwareMonitorAL::LoadSettings",
                                              L"Initial settings [status = 1] [listSize = " + std::to_wstring(c.loads) + L"]"));
            EXPECT_EQ((*stored)["detections"].size(), static_cast<unsigned>(c.loads)) << "saved again in the current form";
        }
    }
}

} // namespace
