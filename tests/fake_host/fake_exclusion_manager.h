#pragma once
// The exclusion manager "Exclusion.Manager" for tests. Every component name opens its own
// exclusion set, created on first use, holding the component's active exclusions. Updates go
// to a set's subscribers on the manager's thread, and the caller waits until they returned.
// Counters prove what the module asked: opens and closes per component, reads per set.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "fake_host/event_thread.h"
#include "fake_host/sink_list.h"
#include "module/host/exclusions_update.h"
#include "module/host/icomponent_exclusions.h"
#include "module/host/iexclusion_manager.h"

class FakeComponentExclusions final : public qv::Product::IComponentExclusions
{
public:
    using Sinks = SinkList<qv::Product::IExclusionManager::IEvents>;

    uint32_t Subscribe(qv::Product::IExclusionManager::IEvents* sink, uint32_t reserved1, uint32_t reserved2) override
    {
        return sinks_.Subscribe(sink, reserved1, reserved2);
    }
    uint32_t Unsubscribe(qv::Product::IExclusionManager::IEvents* sink, uint32_t reserved1,
                         uint32_t reserved2) override
    {
        return sinks_.Unsubscribe(sink, reserved1, reserved2);
    }
    uint32_t GetActiveExclusions(qv::Product::ExclusionList& exclusions) override;

    void SetActive(qv::Product::ExclusionList active);
    int Reads() const;
    Sinks& Subscribers() noexcept { return sinks_; }

private:
    Sinks sinks_;
    mutable std::mutex mutex_;
    qv::Product::ExclusionList active_;
    int reads_ = 0;
};

class FakeExclusionManager final : public qv::Product::IExclusionManager
{
public:
    uint32_t OpenComponentExclusions(qv::Product::IComponentExclusions** exclusions,
                                     const qv::WString& component) override;
    uint32_t CloseComponentExclusions(qv::Product::IComponentExclusions* exclusions) override;

    // The set of a component ("FileScan.OnAccess", "FileScan.OnDemand", ...).
    FakeComponentExclusions& Component(const std::wstring& name);
    // A non-zero result makes opening the component fail with it.
    void SetOpenResult(const std::wstring& name, uint32_t result);
    int Opens(const std::wstring& name) const;
    int Closes(const std::wstring& name) const;

    // OnActiveExclusionsUpdated(update) to the subscribers of the component's set.
    bool DeliverUpdate(const std::wstring& name, const qv::Product::ExclusionsUpdate& update);

private:
    struct Entry
    {
        std::unique_ptr<FakeComponentExclusions> set = std::make_unique<FakeComponentExclusions>();
        uint32_t openResult = 0;
        int opens = 0;
        int closes = 0;
    };
    Entry& EntryOf(const std::wstring& name);

    mutable std::mutex mutex_;
    std::map<std::wstring, Entry> components_;
    EventThread thread_;
};
