#include "crash_scenario.h"

#include <windows.h>

#include <chrono>
#include <set>

#include "crash_detections.h"
#include "fake_host/fake_host.h"
#include "malware_monitor/testing/threat_builders.h"
#include "module/iserv_plugin.h"
#include "module/testing/qv_module_library.h"
#include "sdk/unique_handle.h"
#include "sdk/utf8.h"

namespace {

constexpr const wchar_t* kNode = L"/FileScan.MalwareMonitor/";
constexpr const wchar_t* kAfterRestart = L"C:\\crash\\after_restart.exe";
constexpr std::chrono::seconds kChildDeadline{60};

std::set<std::wstring> StoredObjects(const FakeSettingsStore& store, bool* formOk = nullptr)
{
    std::set<std::wstring> objects;
    const auto stored = store.Stored(kNode, L"/Status");
    if (!stored || !stored->isObject())
        return objects;
    const Json::Value& detections = (*stored)["detections"];
    for (const Json::Value& element : detections)
    {
        if (element.isObject() && element["object"].isString())
            objects.insert(qv::FromUtf8(element["object"].asCString()).c_str());
    }
    if (formOk != nullptr)
        *formOk = (*stored)["malwarePresent"].isBool() && (*stored)["totalDetectionCount"].isNumeric() &&
                  detections.isArray() && (*stored)["totalDetectionCount"].asUInt() == detections.size();
    return objects;
}

// Reads the child's lines until it acknowledged everything, failed, ended or ran out of time.
void ReadAcks(HANDLE pipe, HANDLE process, int detections, CrashFigures& figures)
{
    std::string pending;
    const auto deadline = std::chrono::steady_clock::now() + kChildDeadline;
    while (figures.acknowledged < detections && std::chrono::steady_clock::now() < deadline)
    {
        DWORD available = 0;
        if (!::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr))
            return; // the child is gone and the pipe drained
        if (available == 0)
        {
            if (::WaitForSingleObject(process, 5) == WAIT_OBJECT_0)
                figures.childError = "child ended early";
            continue;
        }
        char buffer[4096];
        DWORD read = 0;
        if (!::ReadFile(pipe, buffer, sizeof(buffer), &read, nullptr))
            return;
        pending.append(buffer, read);
        for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1))
        {
            const std::string line = pending.substr(0, end);
            figures.childRan = true;
            if (line.rfind("ACK ", 0) == 0)
                ++figures.acknowledged;
            else if (line.rfind("FAIL", 0) == 0)
                figures.childError = line;
        }
        if (!figures.childError.empty())
            return;
    }
}

void RunChild(const std::wstring& settingsFile, int detections, bool duringRecheck, CrashFigures& figures)
{
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return;
    UniqueKernelHandle reader(readEnd);
    UniqueKernelHandle writer(writeEnd);
    ::SetHandleInformation(reader.Get(), HANDLE_FLAG_INHERIT, 0);

    std::wstring command = L"\"" + TestProgramFolder() + L"reliability_child.exe\" \"" + settingsFile + L"\" " +
                           std::to_wstring(detections) + (duringRecheck ? L" recheck" : L" plain");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writer.Get();
    startup.hStdError = writer.Get();
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
    {
        figures.childError = "cannot start reliability_child.exe";
        return;
    }
    UniqueKernelHandle process(info.hProcess);
    UniqueKernelHandle thread(info.hThread);
    writer.Reset(); // only the child writes now

    ReadAcks(reader.Get(), process.Get(), detections, figures);
    // No clean-up in the child: it dies right after its last acknowledgement.
    ::TerminateProcess(process.Get(), 9);
    ::WaitForSingleObject(process.Get(), 10000);
}

// A new host process: the monitor loads the list, takes one more detection and saves on Stop.
void Reload(const std::wstring& settingsFile, CrashFigures& figures, const std::set<std::wstring>& acknowledged)
{
    FakeHost host(settingsFile);
    QvModuleLibrary module;
    void* object = nullptr;
    if (!module.Loaded() || module.Create(L"FileScan.MalwareMonitor", IServPlugin::kId, &object) != 0)
        return;
    auto* plugin = static_cast<IServPlugin*>(object);
    if (plugin->Init(&host.host) == 0 && plugin->Start() == 0)
    {
        // The worker subscribes on its own; the detection goes straight to the monitor's sink once it did.
        for (int i = 0; i < 1000 && host.onAccess.Subscribers().Count() == 0; ++i)
            ::Sleep(10);
        host.onAccess.DeliverVirusFound(testing_records::MakeOnAccessThreat({kAfterRestart, kCrashThreatName}));
    }
    plugin->Stop();
    plugin->UnInit();
    module.Destroy(L"FileScan.MalwareMonitor", object);

    const std::set<std::wstring> stored = StoredObjects(host.settings, &figures.reloadedFormOk);
    figures.reloadedFormOk = figures.reloadedFormOk && stored.count(kAfterRestart) == 1;
    for (const std::wstring& object : acknowledged)
    {
        if (stored.count(object) != 0)
            ++figures.foundAfterReload;
        else
            figures.missing.push_back(object);
    }
}

} // namespace

std::wstring CrashDetectionObject(int index)
{
    return L"C:\\crash\\detected_" + std::to_wstring(index) + L".exe";
}

CrashFigures RunCrashScenario(const std::wstring& settingsFile, int detections, bool duringRecheck)
{
    CrashFigures figures;
    ::DeleteFileW(settingsFile.c_str());
    RunChild(settingsFile, detections, duringRecheck, figures);

    std::set<std::wstring> acknowledged;
    for (int i = 0; i < figures.acknowledged; ++i)
        acknowledged.insert(CrashDetectionObject(i));
    {
        const FakeSettingsStore afterKill(settingsFile);
        const std::set<std::wstring> stored = StoredObjects(afterKill);
        for (const std::wstring& object : acknowledged)
            figures.foundInStore += static_cast<int>(stored.count(object));
    }
    Reload(settingsFile, figures, acknowledged);
    ::DeleteFileW(settingsFile.c_str());
    return figures;
}
