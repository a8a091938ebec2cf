#pragma once
// The subscribers of a fake plug-in's events. A delivery holds the list's lock while it calls
// the sinks, and Unsubscribe takes the same lock, so no event reaches a sink after its
// Unsubscribe has returned. Every Subscribe and Unsubscribe call is recorded with its arguments.
#include <algorithm>
#include <cstdint>
#include <mutex>
#include <vector>

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

    // Answers the result set with SetSubscribeResult; only 0 subscribes the sink.
    uint32_t Subscribe(Sink* sink, uint32_t reserved1, uint32_t reserved2)
    {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        subscribeCalls_.push_back(Call{sink, reserved1, reserved2});
        if (subscribeResult_ != 0)
            return subscribeResult_;
        sinks_.push_back(sink);
        return 0;
    }

    // Waits for a running delivery; 1168 when the sink was not subscribed.
    uint32_t Unsubscribe(Sink* sink, uint32_t reserved1, uint32_t reserved2)
    {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        unsubscribeCalls_.push_back(Call{sink, reserved1, reserved2});
        const auto it = std::find(sinks_.begin(), sinks_.end(), sink);
        if (it == sinks_.end())
            return kNotSubscribed;
        sinks_.erase(it);
        return 0;
    }

    // Calls deliver(sink) for every subscribed sink, in subscription order.
    template <typename Deliver>
    void ForEach(Deliver deliver)
    {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        const std::vector<Sink*> sinks = sinks_;
        for (Sink* sink : sinks)
        {
            if (std::find(sinks_.begin(), sinks_.end(), sink) != sinks_.end())
                deliver(sink);
        }
    }

    void SetSubscribeResult(uint32_t result)
    {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        subscribeResult_ = result;
    }

    size_t Count() const
    {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        return sinks_.size();
    }
    bool Contains(const Sink* sink) const
    {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        return std::find(sinks_.begin(), sinks_.end(), sink) != sinks_.end();
    }
    std::vector<Call> SubscribeCalls() const
    {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        return subscribeCalls_;
    }
    std::vector<Call> UnsubscribeCalls() const
    {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        return unsubscribeCalls_;
    }

private:
    mutable std::recursive_mutex mutex_;
    std::vector<Sink*> sinks_;
    std::vector<Call> subscribeCalls_;
    std::vector<Call> unsubscribeCalls_;
    uint32_t subscribeResult_ = 0;
};
