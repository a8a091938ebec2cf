#include "literal.h"

#include <cwchar>

#include "malware_monitor/malware_status.h"
#include "malware_monitor/status_document.h"
#include "malware_monitor/threat_filter.h"
#include "module/host/icv_settings.h"
#include "sdk/value_json.h"

namespace bench {

bool LiteralList::Contains(const MalwareItem& item) const
{
    for (const MalwareItem& listed : items)
    {
        if (_wcsicmp(listed.object.c_str(), item.object.c_str()) == 0 &&
            _wcsicmp(listed.threatName.c_str(), item.threatName.c_str()) == 0)
            return true;
    }
    return false;
}

bool LiteralList::AddUnique(const MalwareItem& item)
{
    if (items.size() > 10000 || Contains(item))
        return false;
    items.push_back(item);
    return true;
}

bool LiteralList::SetItems(const std::vector<qv::cvsdk::FileScan::IOnDemand::Threat>& threats)
{
    LiteralList old;
    old.items.swap(items);
    for (const auto& threat : threats)
    {
        if (IsImportantThreat(threat))
            AddUnique(MalwareItem{threat.object, threat.threatName});
    }
    if (old.items.size() != items.size())
        return true;
    for (const MalwareItem& item : old.items)
    {
        if (!Contains(item))
            return true;
    }
    return false;
}

void LiteralSave(const LiteralList& list, ICVSettings& store)
{
    const LiteralList stored = list;
    OwnedMalwareStatus status;
    qv::Value document;
    status.ResetDetections(static_cast<uint32_t>(stored.items.size()));
    for (const MalwareItem& item : stored.items)
        detection_array::Append(*status.Get().detections, item);
    status.Get().totalDetectionCount = static_cast<uint32_t>(stored.items.size());
    status.Get().malwarePresent = !stored.items.empty();
    status_document::FromStatus(status.Get(), document);
    ISettingsAccessor* writer = store.CreateWriter();
    writer->WriteJson(L"/Status", document.ToJson());
    writer->WriteBool(L"/Enabled", true);
    store.Commit(writer, L"/FileScan.MalwareMonitor/", 0, 1);
    writer->Release();
}

} // namespace bench
