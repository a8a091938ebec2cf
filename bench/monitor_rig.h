#pragma once
// A monitor initialised from the fake host's settings store, as the service has it after Init,
// and the lists the figures store in it.
#include <cstddef>
#include <functional>
#include <string>

#include "fake_host/fake_host.h"
#include "literal.h"
#include "malware_monitor/malware_monitor_al.h"

namespace bench {

// count items named by objectOf(0..count-1), all with the same threat.
LiteralList NumberedList(size_t count, const std::function<std::wstring(size_t)>& objectOf);
std::wstring DownloadPath(size_t n);

struct MonitorRig
{
    // The store holds `stored` and "enabled"; the monitor is initialised, not started.
    explicit MonitorRig(const LiteralList& stored);
    ~MonitorRig();
    MonitorRig(const MonitorRig&) = delete;
    MonitorRig& operator=(const MonitorRig&) = delete;

    FakeHost host;
    MalwareMonitorAL monitor;
};

} // namespace bench
