// Runs the monitor of the real qvmodule.dll over a file-backed fake settings store, reports
// detections and prints "ACK <i>" once each OnVirusFound has returned, then waits to be killed.
//   reliability_child.exe <settings file> <detections> plain|recheck
// recheck: the silent task is reported running first, so every detection is held in the cache.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

#include "crash_detections.h"
#include "fake_host/fake_host.h"
#include "logging/testing/log_recorder.h"
#include "malware_monitor/imalware_monitor.h"
#include "malware_monitor/task_ids.h"
#include "malware_monitor/testing/threat_builders.h"
#include "module/iserv_plugin.h"
#include "module/testing/qv_module_library.h"
#include "module/testing/task_builders.h"

namespace {

int Fail(const char* what)
{
    std::printf("FAIL %s\n", what);
    std::fflush(stdout);
    return 2;
}

bool WaitFor(bool (*done)(FakeHost&), FakeHost& host)
{
    for (int i = 0; i < 1000; ++i)
    {
        if (done(host))
            return true;
        ::Sleep(10);
    }
    return false;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4)
        return Fail("usage: reliability_child <settings file> <detections> plain|recheck");
    const std::wstring settingsFile = argv[1];
    const int count = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
    const bool recheck = std::wcscmp(argv[3], L"recheck") == 0;

    LogRecorder recorder; // tells whether the detections really went to the recheck's cache
    FakeHost host(settingsFile);
    host.settings.Seed(L"/FileScan.MalwareMonitor/", L"/Enabled", Json::Value(true));
    host.onDemand.AddTask(testing_records::MakeConfiguredTaskRecord(FULLSCAN_TASK_ID));

    QvModuleLibrary module;
    if (!module.Loaded())
        return Fail("qvmodule.dll not loaded");
    void* object = nullptr;
    if (module.Create(L"FileScan.MalwareMonitor", IServPlugin::kId, &object) != 0)
        return Fail("create");
    auto* plugin = static_cast<IServPlugin*>(object);
    if (plugin->Init(&host.host) != 0 || plugin->Start() != 0)
        return Fail("init or start");
    if (!WaitFor([](FakeHost& h) { return h.onAccess.Subscribers().Count() == 1 && h.onDemand.Subscribers().Count() == 1; },
                 host))
        return Fail("no subscription");

    // The worker clears the recheck flag once it has subscribed and set up the exclusions tracker;
    // the running report must come after that.
    ::Sleep(300);
    if (recheck && !host.onDemand.ReportTaskRunning(testing_records::MakeTaskReference(SILENT_TASK_ID)))
        return Fail("silent task report");

    for (int i = 0; i < count; ++i)
    {
        const std::wstring path = CrashDetectionObject(i);
        if (!host.onAccess.DeliverVirusFound(testing_records::MakeOnAccessThreat({path.c_str(), kCrashThreatName})))
            return Fail("delivery");
        if (recheck && !recorder.Contains(LogLevel::Debug, L"MalwareMonitorAL::OnVirusFound",
                                          L"Threat [ " + path + L" ] cached."))
            return Fail("detection not cached during the recheck");
        std::printf("ACK %d\n", i);
        std::fflush(stdout);
    }
    std::printf("READY\n");
    std::fflush(stdout);
    ::Sleep(INFINITE);
    return 0;
}
