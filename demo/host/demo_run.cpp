#include "demo_run.h"

#include <windows.h>

#include <fstream>
#include <functional>
#include <map>
#include <vector>

#include "console_report.h"
#include "fake_host/fake_host.h"
#include "malware_monitor/imalware_monitor.h"
#include "malware_monitor/task_ids.h"
#include "malware_monitor/testing/threat_builders.h"
#include "module/iserv_plugin.h"
#include "module/testing/qv_module_library.h"
#include "module/testing/task_builders.h"
#include "sdk/unique_handle.h"
#include "sdk/utf8.h"
#include "status_listener.h"
#include "trace_logging/isession_assistant.h"
#include "trace_logging/testing/simulated_trace_control.h"
#include "trace_logging/testing/trace_import_redirect.h"

namespace {

using qv::cvsdk::FileScan::MalwareMonitor::IMalwareMonitor;
using qv::Product::Support::ISessionAssistant;
using namespace testing_records;
using console_report::Narrow;

constexpr const wchar_t* kMonitorName = L"FileScan.MalwareMonitor";
constexpr const wchar_t* kAssistantName = L"HalvexArkLoggingAssistant";
constexpr const wchar_t* kMonitorNode = L"/FileScan.MalwareMonitor/";
constexpr const wchar_t* kAutologgerKey = L"SYSTEM\\CurrentControlSet\\Control\\WMI\\Autologger\\halvex";
constexpr const wchar_t* kSessionName = L"halvex";

std::wstring Wide(const std::string& text)
{
    return qv::FromUtf8(text.c_str()).c_str();
}

bool IsAbsolute(const std::wstring& path)
{
    return (path.size() > 1 && path[1] == L':') || (!path.empty() && path[0] == L'\\');
}

class Runner
{
public:
    Runner(const DemoFolders& folders, QvModuleLibrary& module)
        : folders_(folders), module_(module), host_(folders.settings), redirect_(module.Handle(), simulation_)
    {
        host_.onDemand.AddTask(MakeConfiguredTaskRecord(FULLSCAN_TASK_ID));
        host_.config.SetProductFolder(folders.product);
    }

    ~Runner()
    {
        // A scenario that stops early still gives everything back.
        if (monitor_ != nullptr)
        {
            if (listening_)
                monitor_->UnregisterListener(&listener_, 0, 0);
            monitorPlugin_->Stop();
            monitorPlugin_->UnInit();
            module_.Destroy(kMonitorName, monitorPlugin_);
        }
        if (assistantPlugin_ != nullptr)
        {
            assistantPlugin_->UnInit();
            module_.Destroy(kAssistantName, assistantPlugin_);
        }
    }

    bool Run(const Scenario& scenario)
    {
        if (redirect_.RedirectedCount() != 3)
            console_report::Detail("note: the module's trace-session imports were not all found; sessions use Wine's stubs");
        for (const ScenarioStep& step : scenario.steps)
        {
            ++number_;
            Execute(step);
        }
        ShowEnding();
        return ok_;
    }

private:
    void Check(const std::string& what, uint32_t result, uint32_t expected = 0)
    {
        console_report::Step(number_, what, result, expected);
        ok_ = ok_ && result == expected;
    }
    void Fail(const std::string& what)
    {
        console_report::Note(number_, what + "  (FAILED)");
        ok_ = false;
    }
    bool NeedMonitor()
    {
        if (monitor_ == nullptr)
            Fail("the monitor has not been created");
        return monitor_ != nullptr;
    }
    bool NeedAssistant()
    {
        if (session_ == nullptr)
            Fail("the assistant has not been created");
        return session_ != nullptr;
    }

    std::wstring ObjectPath(const std::string& object) const
    {
        const std::wstring wide = Wide(object);
        return IsAbsolute(wide) ? wide : folders_.files + L"\\" + wide;
    }

    std::vector<Threat> Threats(const Json::Value& list) const
    {
        std::vector<Threat> threats;
        for (const Json::Value& element : list)
        {
            const std::wstring object = ObjectPath(element["object"].asString());
            const std::wstring threat = Wide(element["threat"].asString());
            threats.push_back(MakeThreat(object.c_str(), threat.c_str()));
        }
        return threats;
    }

    std::vector<std::wstring> StoredList() const
    {
        std::vector<std::wstring> objects;
        const auto stored = host_.settings.Stored(kMonitorNode, L"/Status");
        if (!stored)
            return objects;
        for (const Json::Value& element : (*stored)["detections"])
            objects.push_back(Wide(element["object"].asString()) + L"  [" + Wide(element["threatname"].asString()) +
                              L"]");
        return objects;
    }

    size_t StatusesSoFar() const { return listener_.Received().size(); }
    void ShowNewStatuses(size_t before)
    {
        if (listening_ && StatusesSoFar() == before)
            console_report::Detail("listener: no new status");
    }

    void Execute(const ScenarioStep& step)
    {
        static const std::map<std::string, void (Runner::*)(const Json::Value&)> actions{
            {"create_files", &Runner::CreateFiles},
            {"delete_file", &Runner::DeleteOneFile},
            {"create_monitor", &Runner::CreateMonitor},
            {"init_monitor", &Runner::InitMonitor},
            {"start_monitor", &Runner::StartMonitor},
            {"enable_monitor", &Runner::EnableMonitor},
            {"show_saved_list", &Runner::ShowSavedList},
            {"register_listener", &Runner::RegisterListener},
            {"on_access", &Runner::OnAccess},
            {"full_scan", &Runner::FullScan},
            {"start_recheck", &Runner::StartRecheck},
            {"recheck_running", &Runner::RecheckRunning},
            {"finish_recheck", &Runner::FinishRecheck},
            {"unregister_listener", &Runner::UnregisterListener},
            {"stop_monitor", &Runner::StopMonitor},
            {"uninit_monitor", &Runner::UnInitMonitor},
            {"destroy_monitor", &Runner::DestroyMonitor},
            {"create_assistant", &Runner::CreateAssistant},
            {"init_assistant", &Runner::InitAssistant},
            {"start_session", &Runner::StartSession},
            {"show_autologger", &Runner::ShowAutologger},
            {"end_session", &Runner::EndSession},
            {"cleanup_etl", &Runner::CleanUpEtl},
            {"uninit_assistant", &Runner::UnInitAssistant},
            {"destroy_assistant", &Runner::DestroyAssistant},
            {"check_plugins", &Runner::CheckPlugins},
        };
        (this->*actions.at(step.action))(step.args);
    }

    void CreateFiles(const Json::Value& args)
    {
        int made = 0;
        for (const Json::Value& name : args["files"])
        {
            std::ofstream file(ObjectPath(name.asString()).c_str());
            file << "demo file\n";
            made += file.good() ? 1 : 0;
        }
        if (made == static_cast<int>(args["files"].size()))
            console_report::Note(number_, "created " + std::to_string(made) + " files in " + Narrow(folders_.files));
        else
            Fail("could not create the files in " + Narrow(folders_.files));
    }

    void DeleteOneFile(const Json::Value& args)
    {
        const std::wstring path = ObjectPath(args["file"].asString());
        const BOOL deleted = ::DeleteFileW(path.c_str());
        Check("delete the listed file " + Narrow(path), deleted ? 0u : static_cast<uint32_t>(::GetLastError()));
    }

    void CreateMonitor(const Json::Value&)
    {
        void* object = nullptr;
        const uint32_t result = module_.Create(kMonitorName, IServPlugin::kId, &object);
        Check("QvCreateObject(\"FileScan.MalwareMonitor\")", result);
        if (result != 0 || object == nullptr)
            return;
        monitorPlugin_ = static_cast<IServPlugin*>(object);
        monitor_ = static_cast<IMalwareMonitor*>(monitorPlugin_->QueryInterface(IMalwareMonitor::kId));
        if (monitor_ == nullptr)
            Fail("the monitor does not offer IMalwareMonitor");
    }

    void InitMonitor(const Json::Value&)
    {
        if (NeedMonitor())
            Check("monitor Init (takes settings, on-demand, on-access, update, telemetry)",
                  monitorPlugin_->Init(&host_.host));
    }

    void ShowSavedList(const Json::Value&)
    {
        const auto list = StoredList();
        console_report::Note(number_, "list loaded from the settings store: " + std::to_string(list.size()) +
                                          " detections");
        console_report::DetailList("loaded", list);
    }

    void StartMonitor(const Json::Value&)
    {
        if (NeedMonitor())
            Check("monitor Start", monitorPlugin_->Start());
    }

    void EnableMonitor(const Json::Value& args)
    {
        if (!NeedMonitor())
            return;
        const bool enable = args.get("enable", true).asBool();
        Check(std::string("monitor Enable(") + (enable ? "true" : "false") + ")", monitor_->Enable(enable));
        bool enabled = false;
        monitor_->IsEnabled(&enabled);
        // The worker thread subscribes on its own.
        for (int i = 0; enabled && i < 500 && host_.onAccess.Subscribers().Count() == 0; ++i)
            ::Sleep(10);
        console_report::Detail(std::string("enabled = ") + (enabled ? "yes" : "no") +
                               ", subscribed to the on-access scanner = " +
                               (host_.onAccess.Subscribers().Count() > 0 ? "yes" : "no"));
    }

    void RegisterListener(const Json::Value&)
    {
        if (!NeedMonitor())
            return;
        const uint32_t result = monitor_->RegisterListener(&listener_, 0, 0);
        listening_ = result == 0;
        Check("RegisterListener", result);
    }

    void UnregisterListener(const Json::Value&)
    {
        if (!NeedMonitor())
            return;
        const uint32_t result = monitor_->UnregisterListener(&listener_, 0, 0);
        listening_ = listening_ && result != 0;
        Check("UnregisterListener", result);
    }

    void OnAccess(const Json::Value& args)
    {
        const std::wstring object = ObjectPath(args["object"].asString());
        const std::wstring threat = Wide(args["threat"].asString());
        OnAccessSpec spec;
        spec.object = object.c_str();
        spec.threatName = threat.c_str();
        spec.filterBypass = args.get("filterBypass", false).asBool();
        const auto before = StoredList();
        std::string what = "on-access detection on the scanner's thread: " + Narrow(object) + " [" + Narrow(threat) + "]";
        if (args.isMember("note"))
            what += " (" + args["note"].asString() + ")";
        console_report::Note(number_, what);
        if (!host_.onAccess.DeliverVirusFound(MakeOnAccessThreat(spec)))
            return Fail("the detection was not delivered in time");
        const auto after = StoredList();
        console_report::Detail("persisted list: " + std::to_string(before.size()) + " -> " +
                               std::to_string(after.size()) + " detections");
    }

    void FullScan(const Json::Value& args)
    {
        const TaskReference task = MakeTaskReference(FULLSCAN_TASK_ID);
        const size_t before = StatusesSoFar();
        FakeOnDemand::TaskEnd end;
        end.threats = Threats(args["threats"]);
        host_.onDemand.SetResults(task, end.threats);
        console_report::Note(number_, "the full scan finishes with " + std::to_string(end.threats.size()) + " threats");
        if (!host_.onDemand.FinishTask(task, end))
            return Fail("the task event was not delivered in time");
        ShowNewStatuses(before);
        console_report::DetailList("persisted list", StoredList());
    }

    void StartRecheck(const Json::Value&)
    {
        if (!NeedMonitor())
            return;
        const size_t creates = host_.onDemand.Creates().size();
        Check("StartRecheck", monitor_->StartRecheck());
        const auto created = host_.onDemand.Creates();
        if (created.size() == creates)
        {
            console_report::Detail("no silent task was created");
            return;
        }
        std::vector<std::wstring> targets;
        for (const qv::WString& target : created.back().record.scanTargets)
            targets.push_back(target.c_str());
        console_report::Detail("silent task created and started (" + std::to_string(host_.onDemand.Starts().size()) +
                               " task starts so far)");
        console_report::DetailList("silent task targets", targets);
    }

    void RecheckRunning(const Json::Value&)
    {
        if (host_.onDemand.ReportTaskRunning(MakeTaskReference(SILENT_TASK_ID)))
            console_report::Note(number_, "the silent task reports that it runs");
        else
            Fail("silent task running: not delivered in time");
    }

    void FinishRecheck(const Json::Value& args)
    {
        const TaskReference task = MakeTaskReference(SILENT_TASK_ID);
        const size_t before = StatusesSoFar();
        FakeOnDemand::TaskEnd end;
        end.threats = Threats(args["threats"]);
        end.removeTask = args.get("removeTask", false).asBool();
        host_.onDemand.SetResults(task, end.threats);
        console_report::Note(number_, "the silent task finishes, having found " + std::to_string(end.threats.size()) +
                                          " threats" + (end.removeTask ? " (and leaves the task store)" : ""));
        if (!host_.onDemand.FinishTask(task, end))
            return Fail("the task event was not delivered in time");
        ShowNewStatuses(before);
        console_report::DetailList("persisted list", StoredList());
    }

    void StopMonitor(const Json::Value&)
    {
        if (!NeedMonitor())
            return;
        monitorPlugin_->Stop();
        console_report::Note(number_, "monitor Stop; subscribed to the on-access scanner = " +
                                          std::string(host_.onAccess.Subscribers().Count() > 0 ? "yes" : "no"));
    }

    void UnInitMonitor(const Json::Value&)
    {
        if (!NeedMonitor())
            return;
        monitorPlugin_->UnInit();
        console_report::Note(number_, "monitor UnInit");
    }

    void DestroyMonitor(const Json::Value&)
    {
        if (!NeedMonitor())
            return;
        if (listening_)
            monitor_->UnregisterListener(&listener_, 0, 0);
        listening_ = false;
        module_.Destroy(kMonitorName, monitorPlugin_);
        monitorPlugin_ = nullptr;
        monitor_ = nullptr;
        console_report::Note(number_, "QvDestroyObject(\"FileScan.MalwareMonitor\")");
    }

    void CreateAssistant(const Json::Value&)
    {
        void* object = nullptr;
        const uint32_t result = module_.Create(kAssistantName, IServPlugin::kId, &object);
        Check("QvCreateObject(\"HalvexArkLoggingAssistant\")", result);
        if (result != 0 || object == nullptr)
            return;
        assistantPlugin_ = static_cast<IServPlugin*>(object);
        session_ = static_cast<ISessionAssistant*>(assistantPlugin_->QueryInterface(ISessionAssistant::kId));
        if (session_ == nullptr)
            Fail("the assistant does not offer ISessionAssistant");
    }

    void InitAssistant(const Json::Value&)
    {
        if (NeedAssistant())
            Check("assistant Init (takes the product configuration)", assistantPlugin_->Init(&host_.host));
    }

    void StartSession(const Json::Value&)
    {
        if (!NeedAssistant())
            return;
        Json::Value settings;
        Check("StartSession", session_->StartSession(settings, 0));
        console_report::Detail(std::string("trace session \"halvex\" running = ") +
                               (simulation_.IsRunning(kSessionName) ? "yes" : "no") +
                               " (simulated: Wine only stubs the trace-session calls)");
    }

    void ShowAutologger(const Json::Value&)
    {
        HKEY raw = nullptr;
        const LONG opened = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kAutologgerKey, 0, KEY_READ, &raw);
        UniqueRegKey key(raw);
        if (opened != ERROR_SUCCESS)
            return Fail("autologger key HKLM\\" + Narrow(kAutologgerKey) + " cannot be read back: " +
                        std::to_string(opened));
        console_report::Note(number_, "autologger key read back from HKLM\\" + Narrow(kAutologgerKey) + ":");
        for (DWORD index = 0;; ++index)
        {
            wchar_t name[256];
            DWORD nameLength = 256;
            BYTE data[1024];
            DWORD dataSize = sizeof data - sizeof(wchar_t);
            DWORD type = 0;
            if (::RegEnumValueW(key.Get(), index, name, &nameLength, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
                break;
            std::string value;
            if (type == REG_DWORD && dataSize == 4)
                value = std::to_string(*reinterpret_cast<const uint32_t*>(data));
            else if (type == REG_QWORD && dataSize == 8)
                value = std::to_string(*reinterpret_cast<const uint64_t*>(data));
            else if (type == REG_SZ || type == REG_EXPAND_SZ)
            {
                data[dataSize] = 0;
                data[dataSize + 1] = 0;
                value = "\"" + Narrow(reinterpret_cast<const wchar_t*>(data)) + "\"";
            }
            else
                value = "(" + std::to_string(dataSize) + " bytes)";
            console_report::Detail(Narrow(name) + " = " + value);
        }
    }

    void EndSession(const Json::Value&)
    {
        if (!NeedAssistant())
            return;
        Json::Value settings;
        Check("EndSession", session_->EndSession(settings, 0));
        HKEY raw = nullptr;
        const bool keyLeft = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kAutologgerKey, 0, KEY_READ, &raw) == ERROR_SUCCESS;
        UniqueRegKey key(raw);
        console_report::Detail(std::string("trace session running = ") +
                               (simulation_.IsRunning(kSessionName) ? "yes" : "no") +
                               ", autologger key present = " + (keyLeft ? "yes" : "no"));
    }

    void CleanUpEtl(const Json::Value&)
    {
        if (!NeedAssistant())
            return;
        const std::wstring etl = folders_.product + L"\\Logs\\ARK\\ETL";
        const bool before = ::GetFileAttributesW(etl.c_str()) != INVALID_FILE_ATTRIBUTES;
        Check("CleanUp of the ETL folder", session_->CleanUp(0, 0, true));
        const bool after = ::GetFileAttributesW(etl.c_str()) != INVALID_FILE_ATTRIBUTES;
        console_report::Detail(Narrow(etl) + ": " + (before ? "present" : "absent") + " -> " +
                               (after ? "present" : "removed"));
    }

    void UnInitAssistant(const Json::Value&)
    {
        if (!NeedAssistant())
            return;
        assistantPlugin_->UnInit();
        console_report::Note(number_, "assistant UnInit");
    }

    void DestroyAssistant(const Json::Value&)
    {
        if (!NeedAssistant())
            return;
        module_.Destroy(kAssistantName, assistantPlugin_);
        assistantPlugin_ = nullptr;
        session_ = nullptr;
        console_report::Note(number_, "QvDestroyObject(\"HalvexArkLoggingAssistant\")");
    }

    void CheckPlugins(const Json::Value&)
    {
        using namespace fake_plugin_names;
        console_report::Note(number_, "plug-ins taken and given back:");
        for (const wchar_t* name : {kSettings, kOnDemand, kOnAccess, kUpdate, kTelemetry, kExclusions, kConfig})
            console_report::Detail(Narrow(name) + ": taken " + std::to_string(host_.manager.Grants(name)) +
                                   ", given back " + std::to_string(host_.manager.Releases(name)));
        const int outstanding = host_.manager.Outstanding();
        if (outstanding == 0)
            console_report::Detail("every plug-in given back (" + std::to_string(host_.manager.TotalGrants()) +
                                   " taken)");
        else
            Fail(std::to_string(outstanding) + " plug-ins were not given back");
    }

    void ShowEnding()
    {
        console_report::Heading("telemetry events sent");
        const auto notifications = host_.telemetry.Notifications();
        if (notifications.empty())
            console_report::Detail("none");
        for (const auto& event : notifications)
            console_report::Detail(event.filterKey["event_name"].asString() + ": " +
                                   event.filterKey["feature"].asString() + "/" +
                                   event.filterKey["subfeature"].asString() + "/" +
                                   event.filterKey["setting_name"].asString() + " " +
                                   event.extraData["old_value"].asString() + " -> " +
                                   event.filterValue["new_value"].asString());
        console_report::Heading("list as persisted in " + Narrow(folders_.settings));
        console_report::DetailList("detections", StoredList());
        const auto received = listener_.Received();
        console_report::Heading("statuses received by the listener: " + std::to_string(received.size()));
    }

    const DemoFolders& folders_;
    QvModuleLibrary& module_;
    FakeHost host_;
    SimulatedTraceControl simulation_;
    TraceImportRedirect redirect_;
    ReportingListener listener_;
    bool listening_ = false;
    IServPlugin* monitorPlugin_ = nullptr;
    IMalwareMonitor* monitor_ = nullptr;
    IServPlugin* assistantPlugin_ = nullptr;
    ISessionAssistant* session_ = nullptr;
    int number_ = 0;
    bool ok_ = true;
};

} // namespace

bool RunScenario(const Scenario& scenario, const DemoFolders& folders, QvModuleLibrary& module)
{
    console_report::Heading("running the " + scenario.title);
    Runner runner(folders, module);
    return runner.Run(scenario);
}
