#pragma once
// The telemetry sink "Product.Matrix" for tests: keeps a copy of every notification it receives
// and answers a settable status.
#include <cstdint>
#include <mutex>
#include <vector>

#include "module/host/itelemetry.h"

class FakeTelemetry final : public Telemetry::ITelemetry
{
public:
    uint32_t SendFilteredNotification(const Telemetry::FilteredNotification& notification) override;

    void SetResult(uint32_t result);
    std::vector<Telemetry::FilteredNotification> Notifications() const;

private:
    mutable std::mutex mutex_;
    std::vector<Telemetry::FilteredNotification> notifications_;
    uint32_t result_ = 0;
};
