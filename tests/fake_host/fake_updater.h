#pragma once
// The updater "Update.UpdateAL" for tests: delivers update events to its subscribers on its own
// thread and waits until the delivery has returned. Subscriptions are recorded with their filter.
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "fake_host/event_thread.h"
#include "fake_host/sink_list.h"
#include "module/host/iupdate.h"
#include "module/host/update_record.h"

class FakeUpdater final : public qv::cvsdk::Update::IUpdate
{
public:
    using Sinks = SinkList<IEvents>;

    uint32_t Subscribe(IEvents* sink, uint32_t reserved1, uint32_t reserved2, const std::string& filter) override;
    uint32_t Unsubscribe(IEvents* sink, uint32_t reserved1, uint32_t reserved2, const std::string& filter) override;

    // Slot 7 with a record naming the component (null: an unallocated name). False on timeout.
    bool DeliverComponentUpdated(const wchar_t* component);
    // Every other slot once, with zero arguments; the answers in slot order (slot 7 left out).
    bool DeliverOtherEvents(std::vector<uint32_t>& answers);

    Sinks& Subscribers() noexcept { return sinks_; }
    // The filter of every Subscribe and Unsubscribe call, in call order.
    std::vector<std::string> Filters() const;

private:
    Sinks sinks_;
    mutable std::mutex mutex_;
    std::vector<std::string> filters_;
    EventThread thread_;
};
