#pragma once
// The plain algorithms of the monitor's publication and recheck decision, as the measure to beat:
// every item copied into the status before the newest are kept, and every listed path copied,
// cut and looked up on disk.
#include <atomic>
#include <mutex>
#include <vector>

#include "literal.h"
#include "malware_monitor/monitor_listener.h"

namespace bench {

struct LiteralMonitor
{
    std::atomic<bool> enabled{true};
    std::atomic<bool> listChanged{false};
    std::atomic<bool> signaturesChanged{false};
    bool exclusionsChanged = false;
    std::recursive_mutex dataLock;
    LiteralList list;

    std::mutex listenerLock;
    std::vector<MalwareStatusListener*> listeners;

    // Status of the whole list, the newest 5000 detections, to every listener in turn.
    void ComputeAndSendStatus();
    // Due when a flag says so or when the container of a listed object no longer exists.
    bool CanStartRecheck();
};

} // namespace bench
