#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "logging/log_handle.h"
#include "module/host/iserv_config.h"
#include "module/iserv_plugin.h"
#include "module/serv_plugin.h"
#include "sdk/qv_string.h"
#include "trace_logging/isession_assistant.h"

class EventTraceLogger;

// One trace provider: name is also the trace session's and the .etl file's base name.
struct ProviderEntry
{
    std::wstring name;
    std::wstring guid; // braced
};

// The support-session assistant, offered as "HalvexArkLoggingAssistant". IServPlugin must stay the
// first base: the host treats the object's address as its primary interface.
class HalvexArkLoggingAssistant final : public IServPlugin, public qv::Product::Support::ISessionAssistant
{
public:
    HalvexArkLoggingAssistant();
    ~HalvexArkLoggingAssistant();

    HalvexArkLoggingAssistant(const HalvexArkLoggingAssistant&) = delete;
    HalvexArkLoggingAssistant& operator=(const HalvexArkLoggingAssistant&) = delete;

    // IQvBaseInterface
    void* QueryInterface(InterfaceId id) override;

    // IServPlugin
    uint32_t Init(IPluginHost* host) override;
    void UnInit() override;
    uint32_t Start() override;
    void Stop() override;

    // ICollector
    uint32_t Reserved(uint32_t value) override;
    uint32_t Collect(uint32_t a, uint32_t b, uint32_t c) override;
    uint32_t CleanUp(uint32_t a, uint32_t b, bool remove) override;
    qv::WString GetName() override;

    // ISessionAssistant
    uint32_t StartSession(Json::Value& settings, uint32_t value) override;
    uint32_t EndSession(Json::Value& settings, uint32_t value) override;
    uint32_t ApplyPredefinedSettings(uint32_t value) override;

private:
    // The product folder's Logs\ARK\ETL; empty when no folder is known.
    std::wstring GetEtlFolder();
    // A fresh logger's fields for one provider, with the assistant's level and keywords.
    void Configure(EventTraceLogger& logger, const ProviderEntry& entry, const std::wstring& etlFolder) const;

    ServPlugin<IServConfig> configPlugin{L"productinfo"};
    qv::WString matchAnyKeyword{L"0xffffffff"};
    uint32_t enableLevel = 255;
    std::vector<ProviderEntry> providers{{L"halvex", L"{C041D9E4-266F-4144-86F4-B031A570505A}"}};
    LogHandle logHandle;
};
