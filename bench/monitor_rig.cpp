#include "monitor_rig.h"

#include "malware_monitor/testing/threat_builders.h"

namespace bench {

LiteralList NumberedList(size_t count, const std::function<std::wstring(size_t)>& objectOf)
{
    LiteralList list;
    list.items.reserve(count);
    for (size_t i = 0; i < count; ++i)
        list.items.push_back(testing_records::Item(objectOf(i).c_str(), L"Trojan.Generic"));
    return list;
}

std::wstring DownloadPath(size_t n)
{
    return L"C:\\Users\\someone\\Downloads\\batch_" + std::to_wstring(n) + L"\\installer.exe";
}

MonitorRig::MonitorRig(const LiteralList& stored)
{
    LiteralSave(stored, host.settings);
    monitor.Init(&host.host);
}

MonitorRig::~MonitorRig()
{
    monitor.UnInit();
}

} // namespace bench
