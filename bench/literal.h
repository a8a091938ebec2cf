#pragma once
// The plain algorithms the monitor's operations replace, kept here as the measure to beat:
// a list searched item by item, a rebuild that checks every item against every other, and a
// save that converts the whole list through the value model every time.
#include <json/json.h>

#include <vector>

#include "malware_monitor/malware_item.h"
#include "module/host/ondemand_threat.h"

class ICVSettings;

namespace bench {

struct LiteralList
{
    std::vector<MalwareItem> items;

    bool Contains(const MalwareItem& item) const;
    bool AddUnique(const MalwareItem& item);
    // Rebuilt by adding one by one; true if the content changed, each old item searched in the new list.
    bool SetItems(const std::vector<qv::cvsdk::FileScan::IOnDemand::Threat>& threats);
};

// The list copied, converted into a status, a value document and a JSON document, and written.
void LiteralSave(const LiteralList& list, ICVSettings& store);

} // namespace bench
