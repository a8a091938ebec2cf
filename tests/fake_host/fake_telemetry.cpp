#include "fake_host/fake_telemetry.h"

uint32_t FakeTelemetry::SendFilteredNotification(const Telemetry::FilteredNotification& notification)
{
    std::lock_guard<std::mutex> lock(mutex_);
    notifications_.push_back(notification);
    return result_;
}

void FakeTelemetry::SetResult(uint32_t result)
{
    std::lock_guard<std::mutex> lock(mutex_);
    result_ = result;
}

std::vector<Telemetry::FilteredNotification> FakeTelemetry::Notifications() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return notifications_;
}
