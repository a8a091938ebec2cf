#include "stress_scenario.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <shared_mutex>
#include <thread>

#include "fake_host/fake_host.h"
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
using Clock = std::chrono::steady_clock;

constexpr const wchar_t* kPrefix = L"C:\\stress\\";
constexpr const wchar_t* kJunkPrefix = L"C:\\stress\\junk\\";
constexpr const wchar_t* kThreatName = L"Stress.Threat";
constexpr uint32_t kMaxPublished = 5000;

std::wstring ObjectOf(int index) { return kPrefix + std::to_wstring(index) + L".exe"; }

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Every call into the module goes through here: the watchdog sees what is under way and for how long.
class CallClock
{
public:
    template <typename Call>
    void Time(const char* name, Call call)
    {
        started_.store(Clock::now().time_since_epoch().count());
        name_.store(name);
        const Clock::time_point start = Clock::now();
        call();
        const double ms = MsSince(start);
        started_.store(0);
        ++calls_;
        std::lock_guard<std::mutex> guard(mutex_);
        if (ms > longestMs_)
        {
            longestMs_ = ms;
            longest_ = name;
        }
    }
    // How long the call under way has run; 0 when none is.
    double RunningMs(const char** name) const
    {
        const auto started = started_.load();
        if (started == 0)
            return 0;
        *name = name_.load();
        return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch() -
                                                         Clock::duration(started))
            .count();
    }
    void AddTo(StressFigures& figures)
    {
        std::lock_guard<std::mutex> guard(mutex_);
        figures.calls += calls_.load();
        if (longestMs_ > figures.longestCallMs)
        {
            figures.longestCallMs = longestMs_;
            figures.longestCall = longest_;
        }
    }

private:
    std::atomic<Clock::rep> started_{0};
    std::atomic<const char*> name_{""};
    std::atomic<long> calls_{0};
    std::mutex mutex_;
    double longestMs_ = 0;
    std::string longest_;
};

// Checks every status it receives, as a listener in another module would read it.
class CheckingListener final : public MalwareStatusListener
{
public:
    int OnStatusChanged(const MalwareStatus& status) override
    {
        ++published;
        const DetectionArray* detections = status.detections;
        std::string problem;
        if (status.malwarePresent != (status.totalDetectionCount != 0))
            problem = "presence does not match the count";
        else if (detections == nullptr)
            problem = "no detection array";
        else if (detections->count > kMaxPublished || detections->count > detections->capacity)
            problem = "too many detections";
        else if (detections->count != std::min(status.totalDetectionCount, kMaxPublished))
            problem = "detections do not match the count";
        for (uint32_t i = 0; problem.empty() && i < detections->count; ++i)
        {
            const MalwareItem& item = detections->data[i];
            if (std::wcsncmp(item.object.c_str(), kPrefix, std::wcslen(kPrefix)) != 0 ||
                std::wcscmp(item.threatName.c_str(), kThreatName) != 0)
                problem = "unreadable or foreign item";
        }
        if (!problem.empty())
        {
            std::lock_guard<std::mutex> guard(mutex);
            if (bad++ == 0)
                firstProblem = problem;
        }
        return 0;
    }
    std::atomic<long> published{0};
    std::mutex mutex;
    long bad = 0;
    std::string firstProblem;
};

struct Shared
{
    explicit Shared(int objects) : confirmed(static_cast<size_t>(objects)), infected(static_cast<size_t>(objects)) {}
    std::atomic<bool> stop{false};
    // Enable calls: odd while one runs. A detection counts as fired while enabled only when no
    // Enable ran around it and the host's last Enable was true.
    std::atomic<long> enableEpoch{0};
    std::atomic<bool> hostEnabled{true};
    // Scan results stand for what the scanner finds: every file reported so far. A refresh
    // replaces the list with them, so it must not overlap a detection in flight.
    std::shared_mutex refreshGate;
    std::atomic<bool> refreshWaiting{false}; // holds new readers back: the lock itself may starve a writer
    std::vector<std::atomic<bool>> confirmed;
    std::vector<std::atomic<bool>> infected;
    std::atomic<long> fired{0};
};

void Scanner(IOnAccess::IScanEvents* sink, Shared& shared, CallClock& clock, int objects, unsigned seed)
{
    std::mt19937 random(seed);
    while (!shared.stop.load())
    {
        const int kind = static_cast<int>(random() % 10);
        const int index = kind < 4 ? static_cast<int>(random() % 8) : static_cast<int>(random() % objects);
        const bool junk = kind == 9;
        const std::wstring object = junk ? kJunkPrefix + std::to_wstring(index) : ObjectOf(index);
        testing_records::OnAccessSpec spec;
        spec.object = object.c_str();
        spec.threatName = kThreatName;
        if (junk)
            spec.status = 7; // not important without the bypass flag
        const auto threat = testing_records::MakeOnAccessThreat(spec);

        while (shared.refreshWaiting.load())
            ::Sleep(0);
        std::shared_lock<std::shared_mutex> gate(shared.refreshGate);
        const long before = shared.enableEpoch.load();
        const bool enabled = shared.hostEnabled.load();
        if (!junk)
            shared.infected[static_cast<size_t>(index)].store(true);
        clock.Time("OnVirusFound", [&] { sink->OnVirusFound(threat, 0); });
        ++shared.fired;
        if (!junk && enabled && before % 2 == 0 && shared.enableEpoch.load() == before)
            shared.confirmed[static_cast<size_t>(index)].store(true);
    }
}

std::vector<testing_records::Threat> InfectedThreats(Shared& shared)
{
    std::vector<testing_records::Threat> threats;
    for (size_t i = 0; i < shared.infected.size(); ++i)
        if (shared.infected[i].load())
            threats.push_back(testing_records::MakeThreat(ObjectOf(static_cast<int>(i)).c_str(), kThreatName));
    return threats;
}

void TaskEvents(FakeHost& host, IOnDemand::ITaskEvents* tasks, IUpdate::IEvents* updates, Shared& shared,
                CallClock& clock, int objects)
{
    std::mt19937 random(7);
    const auto silent = testing_records::MakeTaskReference(SILENT_TASK_ID);
    const auto full = testing_records::MakeTaskReference(FULLSCAN_TASK_ID);
    const auto custom = testing_records::MakeTaskReference(InterfaceId{1, 2, 3, 4}, L"S-1-5-21-1000", L"Custom");
    IOnDemand::TaskCompletion finished;
    IOnDemand::TaskCompletion interrupted;
    interrupted.runStatus = 5;
    while (!shared.stop.load())
    {
        IOnDemand::TaskState state;
        switch (random() % 8)
        {
        case 0: // the silent task runs: detections go to the cache from now on
            state.running = 1;
            clock.Time("OnTaskStateChanged(silent running)", [&] { tasks->OnTaskStateChanged(silent, state); });
            break;
        case 1:
        case 2: // a full scan or the silent task ends successfully and replaces the list
        {
            const auto& task = random() % 2 ? full : silent;
            shared.refreshWaiting.store(true);
            std::unique_lock<std::shared_mutex> gate(shared.refreshGate);
            shared.refreshWaiting.store(false);
            host.onDemand.SetResults(task, InfectedThreats(shared));
            state.completion = &finished;
            clock.Time("OnTaskStateChanged(refresh)", [&] { tasks->OnTaskStateChanged(task, state); });
            qv::WString sid;
            host.onDemand.DeleteTask(sid, SILENT_TASK_ID);
            break;
        }
        case 3: // interrupted or without completion record: nothing changes
            state.completion = random() % 2 ? &interrupted : nullptr;
            clock.Time("OnTaskStateChanged(interrupted)", [&] { tasks->OnTaskStateChanged(full, state); });
            break;
        case 4: // a custom task adds what it found, important or not
        {
            std::vector<testing_records::Threat> threats;
            for (int i = 0; i < 5; ++i)
            {
                const std::wstring object = ObjectOf(static_cast<int>(random() % objects));
                threats.push_back(testing_records::MakeThreat(object.c_str(), kThreatName));
            }
            testing_records::ThreatSpec junk;
            const std::wstring junkObject = std::wstring(kJunkPrefix) + L"custom.exe";
            junk.object = junkObject.c_str();
            junk.threatName = L"Yara:Rule";
            threats.push_back(testing_records::MakeThreat(junk));
            host.onDemand.SetResults(custom, threats);
            state.completion = &finished;
            clock.Time("OnTaskStateChanged(custom)", [&] { tasks->OnTaskStateChanged(custom, state); });
            break;
        }
        case 5:
        case 6: // signature and other updates
        {
            IUpdate::UpdateRecord record;
            record.component = random() % 2 ? L"ANTIVIRUS" : L"Firewall";
            clock.Time("OnComponentUpdated", [&] { updates->OnComponentUpdated(record, 0); });
            break;
        }
        default: // exclusions change under the tracker
        {
            qv::Product::ExclusionsUpdate update;
            update.name = L"stress";
            update.active.push_back(qv::Product::ExclusionEntry{0, qv::WString(L"C:\\excluded")});
            clock.Time("exclusions update", [&] {
                host.exclusions.DeliverUpdate(L"FileScan.OnAccess", update);
                host.exclusions.DeliverUpdate(L"FileScan.OnDemand", update);
            });
            break;
        }
        }
    }
}

void HostActions(IServPlugin* plugin, IMalwareMonitor* monitor, Shared& shared, CallClock& clock,
                 Clock::time_point end, CheckingListener* listeners, long& actions)
{
    std::mt19937 random(11);
    bool registered[2] = {false, false};
    bool started = true;
    while (Clock::now() < end)
    {
        ++actions;
        switch (random() % 6)
        {
        case 0:
        {
            const bool enable = random() % 3 != 0;
            ++shared.enableEpoch;
            shared.hostEnabled.store(enable);
            clock.Time("Enable", [&] { monitor->Enable(enable); });
            ++shared.enableEpoch;
            break;
        }
        case 1:
            clock.Time("StartRecheck", [&] { monitor->StartRecheck(); });
            break;
        case 2:
        case 3:
        {
            const int which = static_cast<int>(random() % 2);
            if (registered[which])
                clock.Time("UnregisterListener", [&] { monitor->UnregisterListener(&listeners[which], 0, 0); });
            else
                clock.Time("RegisterListener", [&] { monitor->RegisterListener(&listeners[which], 0, 0); });
            registered[which] = !registered[which];
            break;
        }
        case 4:
            if (started)
                clock.Time("Stop", [&] { plugin->Stop(); });
            else
                clock.Time("Start", [&] { plugin->Start(); });
            started = !started;
            break;
        default:
        {
            bool enabled = false;
            clock.Time("IsEnabled", [&] { monitor->IsEnabled(&enabled); });
            break;
        }
        }
        ::Sleep(1);
    }
    for (int which = 0; which < 2; ++which)
        if (registered[which])
            monitor->UnregisterListener(&listeners[which], 0, 0);
    if (!started)
        clock.Time("Start", [&] { plugin->Start(); });
}

// Whether the random phase published a status depends on timing; this refresh, after it, always
// does (the extra file changes the list), so the status checks never pass for want of a status.
void FinalRefresh(FakeHost& host, IMalwareMonitor* monitor, IOnDemand::ITaskEvents* tasks, Shared& shared,
                  CallClock& clock, CheckingListener& listener, int objects)
{
    clock.Time("Enable", [&] { monitor->Enable(true); });
    clock.Time("RegisterListener", [&] { monitor->RegisterListener(&listener, 0, 0); });
    const auto full = testing_records::MakeTaskReference(FULLSCAN_TASK_ID);
    std::vector<testing_records::Threat> threats = InfectedThreats(shared);
    threats.push_back(testing_records::MakeThreat(ObjectOf(objects).c_str(), kThreatName));
    host.onDemand.SetResults(full, threats);
    IOnDemand::TaskCompletion finished;
    IOnDemand::TaskState state;
    state.completion = &finished;
    clock.Time("OnTaskStateChanged(refresh)", [&] { tasks->OnTaskStateChanged(full, state); });
    clock.Time("UnregisterListener", [&] { monitor->UnregisterListener(&listener, 0, 0); });
}

// Ends the process when a call hangs far beyond its bound: a deadlock must fail the run, not stall it.
void Watchdog(std::vector<std::unique_ptr<CallClock>>& clocks, std::atomic<bool>& done,
              std::chrono::milliseconds bound, std::atomic<long>& hung)
{
    std::set<const CallClock*> reported;
    while (!done.load())
    {
        for (const auto& clock : clocks)
        {
            const char* name = "";
            const double ms = clock->RunningMs(&name);
            if (ms > bound.count() && reported.insert(clock.get()).second)
                ++hung;
            if (ms > 3.0 * bound.count())
            {
                std::fprintf(stderr, "stress: %s has not returned for %.0f ms: deadlock\n", name, ms);
                std::fflush(stderr);
                ::TerminateProcess(::GetCurrentProcess(), 3);
            }
        }
        ::Sleep(50);
    }
}

template <typename Sink>
Sink* FirstSink(const SinkList<Sink>& sinks)
{
    const auto calls = sinks.SubscribeCalls();
    return calls.empty() ? nullptr : calls.front().sink;
}

void ReadStore(FakeHost& host, Shared& shared, StressFigures& figures)
{
    std::set<std::wstring> stored;
    const auto status = host.settings.Stored(L"/FileScan.MalwareMonitor/", L"/Status");
    if (status && status->isObject())
    {
        const Json::Value& detections = (*status)["detections"];
        for (const Json::Value& element : detections)
            stored.insert(qv::FromUtf8(element["object"].asCString()).c_str());
        figures.storedFormOk = detections.isArray() && (*status)["malwarePresent"].isBool() &&
                               (*status)["totalDetectionCount"].asUInt() == detections.size() &&
                               (*status)["malwarePresent"].asBool() == (detections.size() != 0);
    }
    figures.storedItems = static_cast<long>(stored.size());
    for (const std::wstring& object : stored)
        if (object.rfind(kJunkPrefix, 0) == 0)
            ++figures.unimportantListed;
    for (size_t i = 0; i < shared.confirmed.size(); ++i)
    {
        if (!shared.confirmed[i].load())
            continue;
        ++figures.distinctConfirmed;
        const std::wstring object = ObjectOf(static_cast<int>(i));
        if (stored.count(object) != 0)
            ++figures.confirmedFound;
        else
            figures.missing.push_back(object);
    }
}

} // namespace

StressFigures RunStress(const StressOptions& options)
{
    StressFigures figures;
    FakeHost host;
    host.settings.Seed(L"/FileScan.MalwareMonitor/", L"/Enabled", Json::Value(true));
    host.onDemand.AddTask(testing_records::MakeConfiguredTaskRecord(FULLSCAN_TASK_ID));

    QvModuleLibrary module;
    void* object = nullptr;
    if (!module.Loaded() || module.Create(L"FileScan.MalwareMonitor", IServPlugin::kId, &object) != 0)
        return figures;
    auto* plugin = static_cast<IServPlugin*>(object);
    auto* monitor = static_cast<IMalwareMonitor*>(plugin->QueryInterface(IMalwareMonitor::kId));
    if (plugin->Init(&host.host) != 0 || plugin->Start() != 0)
        return figures;
    for (int i = 0; i < 1000 && (host.onAccess.Subscribers().Count() == 0 || host.updater.Subscribers().Count() == 0 ||
                                 host.onDemand.Subscribers().Count() == 0);
         ++i)
        ::Sleep(10);
    // The monitor's own sinks, called straight from many threads as a multi-threaded scanner does.
    auto* scanSink = FirstSink(host.onAccess.Subscribers());
    auto* taskSink = FirstSink(host.onDemand.Subscribers());
    auto* updateSink = FirstSink(host.updater.Subscribers());
    if (scanSink == nullptr || taskSink == nullptr || updateSink == nullptr)
        return figures;

    Shared shared(options.distinctObjects);
    CheckingListener listeners[2];
    std::vector<std::unique_ptr<CallClock>> clocks;
    for (int i = 0; i < options.scannerThreads + 2; ++i)
        clocks.push_back(std::make_unique<CallClock>());
    std::atomic<bool> watchdogDone{false};
    std::atomic<long> hung{0};
    std::thread watchdog(Watchdog, std::ref(clocks), std::ref(watchdogDone), options.callBound, std::ref(hung));

    std::vector<std::thread> threads;
    for (int i = 0; i < options.scannerThreads; ++i)
        threads.emplace_back(Scanner, scanSink, std::ref(shared), std::ref(*clocks[static_cast<size_t>(i)]),
                             options.distinctObjects, 100u + static_cast<unsigned>(i));
    threads.emplace_back(TaskEvents, std::ref(host), taskSink, updateSink, std::ref(shared),
                         std::ref(*clocks[static_cast<size_t>(options.scannerThreads)]), options.distinctObjects);
    HostActions(plugin, monitor, shared, *clocks.back(), Clock::now() + options.duration, listeners,
                figures.hostActions);
    shared.stop.store(true);
    for (std::thread& thread : threads)
        thread.join();
    FinalRefresh(host, monitor, taskSink, shared, *clocks.back(), listeners[0], options.distinctObjects);

    // The host's last word: the monitor stops (merging what a recheck held back) and goes.
    clocks.back()->Time("Stop", [&] { plugin->Stop(); });
    ReadStore(host, shared, figures);
    clocks.back()->Time("UnInit", [&] { plugin->UnInit(); });
    module.Destroy(L"FileScan.MalwareMonitor", object);
    watchdogDone.store(true);
    watchdog.join();

    figures.detectionsFired = shared.fired.load();
    figures.hungCalls = hung.load();
    for (const auto& clock : clocks)
        clock->AddTo(figures);
    for (CheckingListener& listener : listeners)
    {
        figures.statusesPublished += listener.published.load();
        figures.badStatuses += listener.bad;
        if (figures.firstBadStatus.empty())
            figures.firstBadStatus = listener.firstProblem;
    }
    return figures;
}
