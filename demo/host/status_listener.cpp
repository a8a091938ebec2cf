#include "status_listener.h"

#include "console_report.h"

int ReportingListener::OnStatusChanged(const MalwareStatus& status)
{
    ReceivedStatus copy{status.malwarePresent, status.totalDetectionCount, {}};
    std::vector<std::wstring> lines;
    for (uint32_t i = 0; status.detections != nullptr && i < status.detections->count; ++i)
    {
        copy.objects.push_back(status.detections->data[i].object.c_str());
        lines.push_back(std::wstring(status.detections->data[i].object.c_str()) + L"  [" +
                        status.detections->data[i].threatName.c_str() + L"]");
    }
    console_report::Detail(std::string("listener: status published: malware present = ") +
                           (copy.present ? "yes" : "no") + ", count = " + std::to_string(copy.total));
    console_report::DetailList("listener: detections", lines);
    std::lock_guard<std::mutex> guard(lock_);
    received_.push_back(std::move(copy));
    return 0;
}

std::vector<ReceivedStatus> ReportingListener::Received() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return received_;
}
