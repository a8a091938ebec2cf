#include "literal_monitor_steps.h"

#include <shlwapi.h>

#include <cwchar>
#include <new>
#include <utility>

#include "malware_monitor/malware_status.h"

namespace bench {
namespace {

constexpr uint32_t kPublishedLimit = 5000;

qv::WString ContainerPathOf(const qv::WString& object)
{
    qv::WString path(object);
    if (path.IsEmpty())
        return path;
    const wchar_t* marker = std::wcsstr(path.c_str(), L"=>");
    if (marker != nullptr)
        path.SetLength(static_cast<size_t>(marker - path.c_str()));
    return path;
}

} // namespace

void LiteralMonitor::ComputeAndSendStatus()
{
    if (!enabled.load())
        return;
    MalwareStatus status;
    status.detections = detection_array::Create(8);
    {
        std::lock_guard<std::recursive_mutex> guard(dataLock);
        detection_array::Destroy(status.detections);
        status.detections = detection_array::Create(static_cast<uint32_t>(list.items.size()));
        for (const MalwareItem& item : list.items)
            detection_array::Append(*status.detections, item);
        status.totalDetectionCount = static_cast<uint32_t>(list.items.size());
        status.malwarePresent = status.totalDetectionCount != 0;
    }
    DetectionArray& array = *status.detections;
    if (array.count > kPublishedLimit)
    {
        const uint32_t drop = array.count - kPublishedLimit;
        for (uint32_t i = 0; i < drop; ++i)
            array.data[i].~MalwareItem();
        for (uint32_t i = 0; i < kPublishedLimit; ++i)
        {
            new (&array.data[i]) MalwareItem(std::move(array.data[drop + i]));
            array.data[drop + i].~MalwareItem();
        }
        array.count = kPublishedLimit;
    }
    {
        std::lock_guard<std::mutex> guard(listenerLock);
        for (MalwareStatusListener* listener : listeners)
            listener->OnStatusChanged(status);
    }
    detection_array::Destroy(status.detections);
}

bool LiteralMonitor::CanStartRecheck()
{
    struct ConsumeSignatures
    {
        std::atomic<bool>& flag;
        ~ConsumeSignatures() { flag.exchange(false); }
    } consume{signaturesChanged};
    if (exclusionsChanged || listChanged.load() || signaturesChanged.load())
        return true;
    std::lock_guard<std::recursive_mutex> guard(dataLock);
    for (const MalwareItem& item : list.items)
    {
        if (!::PathFileExistsW(ContainerPathOf(item.object).c_str()))
            return true;
    }
    return false;
}

} // namespace bench
