#pragma once
#include "logging/log.h"
#include "module/icomponent_manager.h"
#include "module/iplugin_host.h"
#include "sdk/qv_string.h"

// Holder of one host plug-in. T supplies `static InterfaceId Id()` and
// `static constexpr const wchar_t* kGetPluginScope` (the log scope of GetPlugin).
template <typename T>
class ServPlugin
{
public:
    explicit ServPlugin(const wchar_t* name) : name_(name) {}
    ~ServPlugin() { Release(); }
    ServPlugin(const ServPlugin&) = delete;
    ServPlugin& operator=(const ServPlugin&) = delete;

    // Gives back what is held, then asks the manager anew; null means the plug-in is missing.
    T* GetPlugin(IComponentManager* manager)
    {
        Release();
        if (manager == nullptr)
        {
            logging::Write(LogLevel::Error, T::kGetPluginScope, L"Null component manager");
            return plugin_;
        }
        const uint32_t result = manager->QueryPlugin(name_.c_str(), T::Id(), reinterpret_cast<void**>(&plugin_));
        if (result == 0)
        {
            manager_ = manager;
            return plugin_;
        }
        logging::Write(LogLevel::Warning, T::kGetPluginScope, L"Error %d getting plugin \"%s\"", result,
                       name_.c_str());
        return plugin_;
    }

    // ReleasePlugin once for what was obtained; the name stays.
    void Release()
    {
        if (plugin_ != nullptr && manager_ != nullptr)
            manager_->ReleasePlugin(name_.c_str());
        manager_ = nullptr;
        plugin_ = nullptr;
    }

    T* Get() const noexcept { return plugin_; }
    T* operator->() const noexcept { return plugin_; }
    explicit operator bool() const noexcept { return plugin_ != nullptr; }
    const qv::WString& Name() const noexcept { return name_; }

private:
    IComponentManager* manager_ = nullptr;
    T* plugin_ = nullptr;
    qv::WString name_;
};

// The component manager the host object yields; null for a null host.
inline IComponentManager* ComponentManagerOf(IPluginHost* host)
{
    return host != nullptr ? host->GetComponentManager() : nullptr;
}
