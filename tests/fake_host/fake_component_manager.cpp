#include "fake_host/fake_component_manager.h"

namespace {
std::wstring NameOf(const wchar_t* name) { return name != nullptr ? name : L""; }
} // namespace

void FakeComponentManager::AddRaw(const wchar_t* name, const InterfaceId& id, void* plugin)
{
    std::lock_guard<std::mutex> lock(mutex_);
    Entry& entry = entries_[NameOf(name)];
    entry.id = id;
    entry.plugin = plugin;
    entry.registered = true;
}

void FakeComponentManager::SetMissing(const wchar_t* name, bool missing)
{
    std::lock_guard<std::mutex> lock(mutex_);
    entries_[NameOf(name)].missing = missing;
}

uint32_t FakeComponentManager::QueryPlugin(const wchar_t* name, InterfaceId id, void** plugin)
{
    std::lock_guard<std::mutex> lock(mutex_);
    Entry& entry = entries_[NameOf(name)];
    ++entry.queries;
    if (!entry.registered || entry.missing)
        return kMissingResult;
    if (entry.id != id)
        return kWrongIdResult;
    *plugin = entry.plugin;
    ++entry.grants;
    return 0;
}

uint32_t FakeComponentManager::ReleasePlugin(const wchar_t* name)
{
    std::lock_guard<std::mutex> lock(mutex_);
    ++entries_[NameOf(name)].releases;
    return 0;
}

const FakeComponentManager::Entry* FakeComponentManager::Find(const wchar_t* name) const
{
    const auto it = entries_.find(NameOf(name));
    return it != entries_.end() ? &it->second : nullptr;
}

int FakeComponentManager::Queries(const wchar_t* name) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const Entry* entry = Find(name);
    return entry ? entry->queries : 0;
}

int FakeComponentManager::Grants(const wchar_t* name) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const Entry* entry = Find(name);
    return entry ? entry->grants : 0;
}

int FakeComponentManager::Releases(const wchar_t* name) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const Entry* entry = Find(name);
    return entry ? entry->releases : 0;
}

int FakeComponentManager::Outstanding() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    int outstanding = 0;
    for (const auto& named : entries_)
        outstanding += named.second.grants - named.second.releases;
    return outstanding;
}

int FakeComponentManager::TotalGrants() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    int grants = 0;
    for (const auto& named : entries_)
        grants += named.second.grants;
    return grants;
}
