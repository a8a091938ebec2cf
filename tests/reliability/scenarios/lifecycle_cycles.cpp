#include "lifecycle_cycles.h"

#include "fake_host/fake_host.h"
#include "logging/testing/log_recorder.h"
#include "malware_monitor/imalware_monitor.h"
#include "module/iserv_plugin.h"
#include "module/testing/qv_module_library.h"

namespace {

using qv::cvsdk::FileScan::MalwareMonitor::IMalwareMonitor;

bool MonitorCycle(const QvModuleLibrary& module)
{
    FakeHost host;
    void* object = nullptr;
    if (module.Create(L"FileScan.MalwareMonitor", IServPlugin::kId, &object) != 0 || object == nullptr)
        return false;
    auto* plugin = static_cast<IServPlugin*>(object);
    auto* monitor = static_cast<IMalwareMonitor*>(plugin->QueryInterface(IMalwareMonitor::kId));
    bool ok = monitor != nullptr && plugin->Init(&host.host) == 0 && plugin->Start() == 0;
    // Enable starts the worker thread; Stop must end it and give everything back.
    ok = ok && monitor->Enable(true) == 0;
    plugin->Stop();
    plugin->UnInit();
    module.Destroy(L"FileScan.MalwareMonitor", object);
    return ok && host.manager.Outstanding() == 0 && host.settings.LiveAccessors() == 0;
}

bool AssistantCycle(const QvModuleLibrary& module)
{
    FakeHost host;
    void* object = nullptr;
    if (module.Create(L"HalvexArkLoggingAssistant", IServPlugin::kId, &object) != 0 || object == nullptr)
        return false;
    auto* plugin = static_cast<IServPlugin*>(object);
    const bool ok = plugin->Init(&host.host) == 0 && plugin->Start() == 0;
    plugin->Stop();
    plugin->UnInit();
    module.Destroy(L"HalvexArkLoggingAssistant", object);
    return ok && host.manager.Outstanding() == 0;
}

} // namespace

LifecycleFigures RunLifecycleCycles(int warmUp, int cycles)
{
    LifecycleFigures figures;
    // The recording log keeps every line; cleared each cycle so only the module's memory counts.
    LogRecorder recorder;
    QvModuleLibrary module;
    if (!module.Loaded())
    {
        figures.failures = cycles;
        return figures;
    }
    for (int i = 0; i < warmUp + cycles; ++i)
    {
        if (i == warmUp)
            figures.before = ReadProcessCounts();
        if (i == warmUp + cycles / 2)
            figures.middle = ReadProcessCounts();
        if (!MonitorCycle(module) || !AssistantCycle(module))
            ++figures.failures;
        recorder.Clear();
        if (i >= warmUp)
            ++figures.cycles;
    }
    figures.after = ReadProcessCounts();
    return figures;
}
