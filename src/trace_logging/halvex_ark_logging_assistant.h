#pragma once
#include <cstdint>

#include "logging/log_handle.h"
#include "module/iserv_plugin.h"
#include "trace_logging/isession_assistant.h"

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
    LogHandle logHandle;
};
