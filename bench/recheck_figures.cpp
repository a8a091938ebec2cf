// The worker's recheck decision over a list whose files all exist: every listed container is
// looked up on disk. Beside it, the plain walk over the same files.
#include <memory>
#include <vector>

#include "figures.h"
#include "listed_files.h"
#include "literal_monitor_steps.h"
#include "malware_monitor/task_ids.h"
#include "malware_monitor/testing/threat_builders.h"
#include "module/host/scan_summary.h"
#include "module/host/task_state.h"
#include "module/testing/task_builders.h"
#include "monitor_rig.h"
#include "reused_state.h"

namespace bench {
namespace {

constexpr size_t kListed = 10001;

// A monitor past its first full scan, which found the stored list again: the list is no longer
// marked changed, and the signatures flag has been consumed by an earlier decision.
struct SettledRig
{
    explicit SettledRig(const LiteralList& listed) : rig(listed)
    {
        using IOnDemand = qv::cvsdk::FileScan::IOnDemand;
        const IOnDemand::TaskReference fullScan = testing_records::MakeTaskReference(FULLSCAN_TASK_ID);
        std::vector<testing_records::Threat> threats;
        for (const MalwareItem& item : listed.items)
            threats.push_back(testing_records::MakeThreat(item.object.c_str(), item.threatName.c_str()));
        rig.host.onDemand.SetResults(fullScan, std::move(threats));
        IOnDemand::TaskCompletion completion;
        IOnDemand::TaskState finished;
        finished.completion = &completion;
        rig.monitor.OnTaskStateChanged(fullScan, finished);
        rig.monitor.CanStartRecheck();
    }
    MonitorRig rig;
};

Figure RecheckDecision()
{
    Figure figure;
    figure.name = "CanStartRecheck, 10001 listed files, all present";
    figure.repetitions = 10;
    // The decision changes nothing once the signatures flag is consumed: one monitor serves all.
    figure.setup = Reused<SettledRig>(
        figure.repetitions, [] { return std::make_shared<SettledRig>(ExistingListedFiles(kListed)); },
        [](SettledRig& state) { state.rig.monitor.CanStartRecheck(); });
    figure.literal = Reused<LiteralMonitor>(
        figure.repetitions,
        [] {
            auto literal = std::make_shared<LiteralMonitor>();
            literal->list = ExistingListedFiles(kListed);
            return literal;
        },
        [](LiteralMonitor& literal) { literal.CanStartRecheck(); });
    return figure;
}

} // namespace

void AddRecheckFigures(FigureList& figures)
{
    figures.push_back(RecheckDecision());
}

} // namespace bench
