#pragma once
// The host's component manager for tests: hands out registered plug-ins by name and id and
// counts, per name, every QueryPlugin (all calls and the successful ones) and ReleasePlugin,
// so a test can prove that every plug-in taken was given back.
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "module/icomponent_manager.h"
#include "module/interface_id.h"

class FakeComponentManager final : public IComponentManager
{
public:
    static constexpr uint32_t kMissingResult = 1168; // name unknown or switched off
    static constexpr uint32_t kWrongIdResult = 50;   // the plug-in has another interface id

    // The plug-in is handed out as a T* for T::Id().
    template <typename T>
    void Add(const wchar_t* name, T* plugin)
    {
        AddRaw(name, T::Id(), static_cast<void*>(plugin));
    }
    void AddRaw(const wchar_t* name, const InterfaceId& id, void* plugin);
    // A missing plug-in fails every query until switched back.
    void SetMissing(const wchar_t* name, bool missing);

    uint32_t QueryPlugin(const wchar_t* name, InterfaceId id, void** plugin) override;
    uint32_t ReleasePlugin(const wchar_t* name) override;

    int Queries(const wchar_t* name) const;  // every QueryPlugin call
    int Grants(const wchar_t* name) const;   // QueryPlugin calls that answered 0
    int Releases(const wchar_t* name) const; // ReleasePlugin calls
    // Plug-ins granted and not released, over all names (negative when released too often).
    int Outstanding() const;
    int TotalGrants() const;

private:
    struct Entry
    {
        InterfaceId id;
        void* plugin = nullptr;
        bool registered = false;
        bool missing = false;
        int queries = 0;
        int grants = 0;
        int releases = 0;
    };
    const Entry* Find(const wchar_t* name) const;

    mutable std::mutex mutex_;
    std::map<std::wstring, Entry> entries_;
};
