#pragma once
// The product component that follows the malware status: shows each status as it arrives (on
// the thread that refreshed the list) and keeps a copy, as a listener in another module must.
#include <mutex>
#include <string>
#include <vector>

#include "malware_monitor/monitor_listener.h"

struct ReceivedStatus
{
    bool present = false;
    uint32_t total = 0;
    std::vector<std::wstring> objects;
};

class ReportingListener final : public MalwareStatusListener
{
public:
    int OnStatusChanged(const MalwareStatus& status) override;
    std::vector<ReceivedStatus> Received() const;

private:
    mutable std::mutex lock_;
    std::vector<ReceivedStatus> received_;
};
