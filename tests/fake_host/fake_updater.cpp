#include "fake_host/fake_updater.h"

#include <memory>

using qv::cvsdk::Update::IUpdate;

uint32_t FakeUpdater::Subscribe(IEvents* sink, uint32_t reserved1, uint32_t reserved2, const std::string& filter)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        filters_.push_back(filter);
    }
    return sinks_.Subscribe(sink, reserved1, reserved2);
}

uint32_t FakeUpdater::Unsubscribe(IEvents* sink, uint32_t reserved1, uint32_t reserved2, const std::string& filter)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        filters_.push_back(filter);
    }
    return sinks_.Unsubscribe(sink, reserved1, reserved2);
}

bool FakeUpdater::DeliverComponentUpdated(const wchar_t* component)
{
    IUpdate::UpdateRecord record;
    if (component != nullptr)
        record.component = component;
    return thread_.RunAndWait([this, record] {
        sinks_.ForEach([&](IEvents* sink) { sink->OnComponentUpdated(record, 0); });
    });
}

bool FakeUpdater::DeliverOtherEvents(std::vector<uint32_t>& answers)
{
    auto collected = std::make_shared<std::vector<uint32_t>>();
    const bool delivered = thread_.RunAndWait([this, collected] {
        std::vector<uint32_t>& answers = *collected;
        sinks_.ForEach([&](IEvents* sink) {
            answers.push_back(sink->OnUpdateEvent0(0, 0));
            answers.push_back(sink->OnUpdateEvent1(0));
            answers.push_back(sink->OnUpdateEvent2(0, 0));
            answers.push_back(sink->OnUpdateEvent3(0, 0));
            answers.push_back(sink->OnUpdateEvent4(0));
            answers.push_back(sink->OnUpdateEvent5(0, 0));
            answers.push_back(sink->OnUpdateEvent6(0, 0, 0));
            answers.push_back(sink->OnUpdateEvent8(0));
            answers.push_back(sink->OnUpdateEvent9(0));
            answers.push_back(sink->OnUpdateEvent10(0));
            answers.push_back(sink->OnUpdateEvent11());
            answers.push_back(sink->OnUpdateEvent12(0));
            answers.push_back(sink->OnUpdateEvent13(0, 0));
            answers.push_back(sink->OnUpdateEvent14(0, 0));
            answers.push_back(sink->OnUpdateEvent15(0));
        });
    });
    answers = delivered ? *collected : std::vector<uint32_t>();
    return delivered;
}

std::vector<std::string> FakeUpdater::Filters() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return filters_;
}
