// Figures of the monitor's detection intake and settings, driven through its public
// interfaces against the fake host, each beside the plain algorithm it replaces.
#include <memory>
#include <string>
#include <vector>

#include "fake_host/fake_host.h"
#include "figures.h"
#include "literal.h"
#include "malware_monitor/malware_monitor_al.h"
#include "malware_monitor/malware_status.h"
#include "malware_monitor/status_document.h"
#include "malware_monitor/testing/threat_builders.h"
#include "sdk/value_json.h"

namespace bench {
namespace {

std::wstring ObjectPath(size_t n)
{
    return L"C:\\Users\\someone\\Downloads\\batch_" + std::to_wstring(n) + L"\\installer.exe";
}

LiteralList LiteralOf(size_t count)
{
    LiteralList list;
    for (size_t i = 0; i < count; ++i)
        list.items.push_back(testing_records::Item(ObjectPath(i).c_str(), L"Trojan.Generic"));
    return list;
}

// A monitor initialised from a store that holds `count` items and "enabled".
struct Rig
{
    explicit Rig(size_t count)
    {
        LiteralSave(LiteralOf(count), host.settings);
        monitor.Init(&host.host);
    }
    ~Rig() { monitor.UnInit(); }

    FakeHost host;
    MalwareMonitorAL monitor;
};

struct Literal
{
    explicit Literal(size_t count) : list(LiteralOf(count)) {}
    FakeHost host;
    LiteralList list;
};

std::shared_ptr<testing_records::OnAccessThreat> ThreatOf(const std::wstring& object, const wchar_t* threatName)
{
    testing_records::OnAccessSpec spec;
    spec.object = object.c_str();
    spec.threatName = threatName;
    return std::make_shared<testing_records::OnAccessThreat>(testing_records::MakeOnAccessThreat(spec));
}

// The list holds `count` items and has been saved once since the load, as in a running service.
Figure Detection(const std::string& name, size_t count, bool duplicate)
{
    const std::wstring object = duplicate ? ObjectPath(count / 2) : std::wstring(L"C:\\fresh\\dropper.exe");
    auto threat = ThreatOf(object, duplicate ? L"TROJAN.generic" : L"Trojan.Generic");
    Figure figure;
    figure.name = name;
    figure.repetitions = 20;
    figure.setup = [count, threat] {
        auto rig = std::make_shared<Rig>(count == 0 ? 0 : count - 1);
        if (count != 0)
            rig->monitor.OnVirusFound(*ThreatOf(ObjectPath(count - 1), L"Trojan.Generic"), 0);
        return TimedPart([rig, threat] { rig->monitor.OnVirusFound(*threat, 0); });
    };
    figure.literal = [count, threat] {
        auto literal = std::make_shared<Literal>(count);
        return TimedPart([literal, threat] {
            if (literal->list.AddUnique(MalwareItem{threat->object, threat->threatName}))
                LiteralSave(literal->list, literal->host.settings);
        });
    };
    return figure;
}

Figure Load(size_t count)
{
    Figure figure;
    figure.name = "LoadSettings (Init), " + std::to_string(count) + " stored";
    figure.repetitions = 10;
    figure.setup = [count] {
        auto host = std::make_shared<FakeHost>();
        LiteralSave(LiteralOf(count), host->settings);
        auto monitor = std::make_shared<MalwareMonitorAL>();
        return TimedPart([host, monitor] { monitor->Init(&host->host); });
    };
    figure.literal = [count] {
        auto host = std::make_shared<FakeHost>();
        LiteralSave(LiteralOf(count), host->settings);
        return TimedPart([host] {
            ISettingsAccessor* reader = host->settings.OpenForReading(L"/FileScan.MalwareMonitor/", 0);
            Json::Value stored;
            reader->ReadJson(L"/Status", stored, 0);
            OwnedMalwareStatus status;
            status_document::ToStatus(qv::Value::FromJson(stored), status);
            LiteralList list;
            for (uint32_t i = 0; i < status.Get().detections->count; ++i)
                list.items.push_back(status.Get().detections->data[i]);
            bool enabled = false;
            reader->ReadBool(L"/Enabled", enabled, 0);
            reader->Release();
        });
    };
    return figure;
}

} // namespace

void AddMonitorFigures(FigureList& figures)
{
    for (size_t count : {size_t{0}, size_t{1000}, size_t{10000}})
        figures.push_back(Detection("OnVirusFound, " + std::to_string(count) + " listed, new item, save included",
                                    count, false));
    for (size_t count : {size_t{1000}, size_t{10000}})
        figures.push_back(Detection("OnVirusFound, " + std::to_string(count) + " listed, duplicate", count, true));
    figures.push_back(Load(10001));
}

} // namespace bench
