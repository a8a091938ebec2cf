#pragma once
// The on-access scanner "FileScan.OnAccess" for tests: delivers detections to its subscribers
// on its own thread and waits until the delivery has returned. No detection reaches a sink
// after its Unsubscribe has returned.
#include <cstdint>

#include "fake_host/event_thread.h"
#include "fake_host/sink_list.h"
#include "module/host/ion_access.h"
#include "module/host/on_access_threat.h"

class FakeOnAccess final : public qv::cvsdk::FileScan::IOnAccess
{
public:
    using Sinks = SinkList<IScanEvents>;

    uint32_t Subscribe(IScanEvents* sink, uint32_t reserved1, uint32_t reserved2) override
    {
        return sinks_.Subscribe(sink, reserved1, reserved2);
    }
    uint32_t Unsubscribe(IScanEvents* sink, uint32_t reserved1, uint32_t reserved2) override
    {
        return sinks_.Unsubscribe(sink, reserved1, reserved2);
    }

    // OnVirusFound(threat, 0) to every subscriber; false when the delivery did not return in time.
    bool DeliverVirusFound(const qv::cvsdk::FileScan::OnAccessThreat& threat);
    // The detection without waiting, for tests of concurrent events.
    void PostVirusFound(const qv::cvsdk::FileScan::OnAccessThreat& threat);

    Sinks& Subscribers() noexcept { return sinks_; }
    DWORD DeliveryThreadId() const noexcept { return thread_.ThreadId(); }

private:
    Sinks sinks_;
    EventThread thread_;
};
