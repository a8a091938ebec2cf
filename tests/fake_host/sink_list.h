#pragma once
// The subscribers of a fake plug-in's events. No event reaches a sink after its Unsubscribe has
// returned: Unsubscribe waits while that sink is being called on another thread, for at most
// kFakeDeliveryTimeout (then it answers kTimedOut, so a hanging sink fails a test instead of
// blocking it). Every Subscribe and Unsubscribe call is recorded with its arguments.
#include <windows.h>

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "fake_host/delivery_timeout.h"

template <typename Sink>
class SinkList
{
public:
    struct Call
    {
        Sink* sink;
        uint32_t reserved1;
        uint32_t reserved2;
    };

    static constexpr uint32_t kNotSubscribed = 1168;
    static constexpr uint32_t kTimedOut = 1460;

    // Answers the result set with SetSubscribeResult; only 0 subscribes the sink.
    uint32_t Subscribe(Sink* sink, uint32_t reserved1, uint32_t reserved2)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        subscribeCalls_.push_back(Call{sink, reserved1, reserved2});
        if (subscribeResult_ != 0)
            return subscribeResult_;
        sinks_.push_back(sink);
        return 0;
    }

    // 0 once the sink is out and not being called; kNotSubscribed when it was not subscribed.
    uint32_t Unsubscribe(Sink* sink, uint32_t reserved1, uint32_t reserved2)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        unsubscribeCalls_.push_back(Call{sink, reserved1, reserved2});
        const auto it = std::find(sinks_.begin(), sinks_.end(), sink);
        if (it == sinks_.end())
            return kNotSubscribed;
        sinks_.erase(it);
        if (deliveringThread_ == GetCurrentThreadId())
            return 0; // the sink unsubscribes from inside its own event
        if (!called_.wait_for(lock, kFakeDeliveryTimeout, [&] { return current_ != sink; }))
            return kTimedOut;
        return 0;
    }

    // Calls deliver(sink) for every subscribed sink, in subscription order; one delivery at a time.
    template <typename Deliver>
    void ForEach(Deliver deliver)
    {
        std::lock_guard<std::mutex> serial(deliveryMutex_);
        std::unique_lock<std::mutex> lock(mutex_);
        const std::vector<Sink*> sinks = sinks_;
        deliveringThread_ = GetCurrentThreadId();
        for (Sink* sink : sinks)
        {
            if (std::find(sinks_.begin(), sinks_.end(), sink) == sinks_.end())
                continue;
            current_ = sink;
            lock.unlock();
            deliver(sink);
            lock.lock();
            current_ = nullptr;
            called_.notify_all();
        }
        deliveringThread_ = 0;
    }

    void SetSubscribeResult(uint32_t result)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        subscribeResult_ = result;
    }

    size_t Count() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return sinks_.size();
    }
    bool Contains(const Sink* sink) const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return std::find(sinks_.begin(), sinks_.end(), sink) != sinks_.end();
    }
    std::vector<Call> SubscribeCalls() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return subscribeCalls_;
    }
    std::vector<Call> UnsubscribeCalls() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return unsubscribeCalls_;
    }

private:
    std::mutex deliveryMutex_; // serialises deliveries
    mutable std::mutex mutex_; // everything else; never held while a sink runs
    std::condition_variable called_;
    std::vector<Sink*> sinks_;
    Sink* current_ = nullptr;
    DWORD deliveringThread_ = 0;
    std::vector<Call> subscribeCalls_;
    std::vector<Call> unsubscribeCalls_;
    uint32_t subscribeResult_ = 0;
};
