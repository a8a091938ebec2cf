#include "fake_host/fake_exclusion_manager.h"

using qv::Product::ExclusionList;
using qv::Product::ExclusionsUpdate;
using qv::Product::IComponentExclusions;
using qv::Product::IExclusionManager;

uint32_t FakeComponentExclusions::GetActiveExclusions(ExclusionList& exclusions)
{
    std::lock_guard<std::mutex> lock(mutex_);
    ++reads_;
    exclusions = active_;
    return 0;
}

void FakeComponentExclusions::SetActive(ExclusionList active)
{
    std::lock_guard<std::mutex> lock(mutex_);
    active_ = std::move(active);
}

int FakeComponentExclusions::Reads() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return reads_;
}

FakeExclusionManager::Entry& FakeExclusionManager::EntryOf(const std::wstring& name) { return components_[name]; }

uint32_t FakeExclusionManager::OpenComponentExclusions(IComponentExclusions** exclusions,
                                                       const qv::WString& component)
{
    std::lock_guard<std::mutex> lock(mutex_);
    Entry& entry = EntryOf(component.c_str());
    ++entry.opens;
    if (entry.openResult != 0)
        return entry.openResult;
    *exclusions = entry.set.get();
    return 0;
}

uint32_t FakeExclusionManager::CloseComponentExclusions(IComponentExclusions* exclusions)
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& named : components_)
    {
        if (named.second.set.get() == exclusions)
        {
            ++named.second.closes;
            return 0;
        }
    }
    return 1168;
}

FakeComponentExclusions& FakeExclusionManager::Component(const std::wstring& name)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return *EntryOf(name).set;
}

void FakeExclusionManager::SetOpenResult(const std::wstring& name, uint32_t result)
{
    std::lock_guard<std::mutex> lock(mutex_);
    EntryOf(name).openResult = result;
}

int FakeExclusionManager::Opens(const std::wstring& name) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = components_.find(name);
    return it != components_.end() ? it->second.opens : 0;
}

int FakeExclusionManager::Closes(const std::wstring& name) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = components_.find(name);
    return it != components_.end() ? it->second.closes : 0;
}

bool FakeExclusionManager::DeliverUpdate(const std::wstring& name, const ExclusionsUpdate& update)
{
    FakeComponentExclusions& set = Component(name);
    return thread_.RunAndWait([&set, update] {
        set.Subscribers().ForEach([&](IExclusionManager::IEvents* sink) { sink->OnActiveExclusionsUpdated(update); });
    });
}
