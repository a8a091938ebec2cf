// Figures of the status publication and of the save, each timed on its own in a monitor
// initialised against the fake host, beside the plain algorithm.
#include <memory>
#include <string>

#include "figures.h"
#include "literal.h"
#include "literal_monitor_steps.h"
#include "malware_monitor/status_document.h"
#include "malware_monitor/testing/threat_builders.h"
#include "monitor_private_access.h"
#include "monitor_rig.h"
#include "reused_state.h"
#include "sdk/value_json.h"

namespace bench {
namespace {

constexpr size_t kListed = 10001;

// A listener as cheap as a listener can be: the figure is the monitor's part of the publication.
class GlanceListener final : public MalwareStatusListener
{
public:
    int OnStatusChanged(const MalwareStatus& status) override
    {
        seen += status.totalDetectionCount + status.detections->count;
        return 0;
    }
    uint64_t seen = 0;
};

struct PublishingRig
{
    PublishingRig() : rig(NumberedList(kListed, DownloadPath)) { rig.monitor.RegisterListener(&listener, 0, 0); }
    ~PublishingRig() { rig.monitor.UnregisterListener(&listener, 0, 0); }
    GlanceListener listener;
    MonitorRig rig;
};

// The list is loaded from a store that keeps its document, as the monitor's is: the heap then
// looks alike on both sides. (Wine's heap gives regions that fall entirely free back to the
// system; an operation whose copies land in fresh regions every time measured about five times
// slower than the same operation beside a live monitor.)
struct LiteralPublisher
{
    LiteralPublisher()
    {
        LiteralSave(NumberedList(kListed, DownloadPath), host.settings);
        ISettingsAccessor* reader = host.settings.OpenForReading(L"/FileScan.MalwareMonitor/", 0);
        Json::Value stored;
        reader->ReadJson(L"/Status", stored, 0);
        reader->Release();
        OwnedMalwareStatus status;
        status_document::ToStatus(qv::Value::FromJson(stored), status);
        for (uint32_t i = 0; i < status.Get().detections->count; ++i)
            monitor.list.items.push_back(status.Get().detections->data[i]);
        monitor.listeners.push_back(&listener);
    }
    FakeHost host;
    GlanceListener listener;
    LiteralMonitor monitor;
};

Figure Publication()
{
    Figure figure;
    figure.name = "ComputeAndSendStatus, 10001 listed, 1 listener";
    figure.repetitions = 20;
    // Publishing leaves the monitor as it was, so one monitor serves every repetition.
    figure.setup = Reused<PublishingRig>(
        figure.repetitions, [] { return std::make_shared<PublishingRig>(); },
        [](PublishingRig& state) { ComputeAndSendStatusOf(state.rig.monitor); });
    figure.literal = Reused<LiteralPublisher>(
        figure.repetitions, [] { return std::make_shared<LiteralPublisher>(); },
        [](LiteralPublisher& state) { state.monitor.ComputeAndSendStatus(); });
    return figure;
}

struct SavingLiteral
{
    FakeHost host;
    LiteralList list;
};

// The literal store holds the list already, as the monitor's store does after the load.
std::shared_ptr<SavingLiteral> StoredLiteral(size_t count)
{
    auto literal = std::make_shared<SavingLiteral>();
    literal->list = NumberedList(count, DownloadPath);
    LiteralSave(literal->list, literal->host.settings);
    return literal;
}

Figure FirstSave()
{
    Figure figure;
    figure.name = "SaveSettings, 10001 listed, first save after load";
    figure.repetitions = 10;
    figure.setup = [] {
        auto rig = std::make_shared<MonitorRig>(NumberedList(kListed, DownloadPath));
        return TimedPart([rig] { SaveSettingsOf(rig->monitor); });
    };
    figure.literal = [] {
        auto literal = StoredLiteral(kListed);
        return TimedPart([literal] { LiteralSave(literal->list, literal->host.settings); });
    };
    return figure;
}

Figure SaveAfterOneMore()
{
    Figure figure;
    figure.name = "SaveSettings, 10001 listed, one item added since last save";
    figure.repetitions = 10;
    const MalwareItem added = testing_records::Item(L"C:\\fresh\\dropper.exe", L"Trojan.Generic");
    figure.setup = [added] {
        auto rig = std::make_shared<MonitorRig>(NumberedList(kListed - 1, DownloadPath));
        SaveSettingsOf(rig->monitor);
        AddToListOf(rig->monitor, added);
        return TimedPart([rig] { SaveSettingsOf(rig->monitor); });
    };
    figure.literal = [added] {
        auto literal = StoredLiteral(kListed - 1);
        literal->list.AddUnique(added);
        return TimedPart([literal] { LiteralSave(literal->list, literal->host.settings); });
    };
    return figure;
}

} // namespace

void AddStatusFigures(FigureList& figures)
{
    figures.push_back(Publication());
    figures.push_back(FirstSave());
    figures.push_back(SaveAfterOneMore());
}

} // namespace bench
