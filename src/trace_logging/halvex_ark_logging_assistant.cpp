#include "trace_logging/halvex_ark_logging_assistant.h"

#include <windows.h>

#include <json/json.h>

#include "logging/log_scope.h"

using qv::Product::Support::ISessionAssistant;

namespace {

// The host asks for the session interface under a second id as well.
constexpr const wchar_t* kSessionAssistantAliasId = L"{D01F7793-BF4C-46D5-B43C-66494B6E87BD}";

} // namespace

HalvexArkLoggingAssistant::HalvexArkLoggingAssistant()
{
    logHandle.Acquire();
}

HalvexArkLoggingAssistant::~HalvexArkLoggingAssistant()
{
    logHandle.Release();
}

void* HalvexArkLoggingAssistant::QueryInterface(InterfaceId id)
{
    if (id == IQvBaseInterface::kId || id == IServPlugin::kId)
        return static_cast<IServPlugin*>(this);
    if (id == ISessionAssistant::kId || id == InterfaceId::FromText(kSessionAssistantAliasId))
        return static_cast<ISessionAssistant*>(this);
    return nullptr;
}

uint32_t HalvexArkLoggingAssistant::Init(IPluginHost*)
{
    LogScope scope(L"HalvexArkLoggingAssistant::Init");
    return ERROR_SUCCESS;
}

void HalvexArkLoggingAssistant::UnInit()
{
    LogScope scope(L"HalvexArkLoggingAssistant::UnInit");
}

uint32_t HalvexArkLoggingAssistant::Start()
{
    LogScope scope(L"HalvexArkLoggingAssistant::Start");
    return ERROR_SUCCESS;
}

void HalvexArkLoggingAssistant::Stop()
{
    LogScope scope(L"HalvexArkLoggingAssistant::Stop");
}

uint32_t HalvexArkLoggingAssistant::Reserved(uint32_t)
{
    return ERROR_SUCCESS;
}

uint32_t HalvexArkLoggingAssistant::Collect(uint32_t, uint32_t, uint32_t)
{
    LogScope scope(L"HalvexArkLoggingAssistant::Collect");
    return ERROR_SUCCESS;
}

// Deleting the ETL folder is not written yet.
uint32_t HalvexArkLoggingAssistant::CleanUp(uint32_t, uint32_t, bool remove)
{
    LogScope scope(L"HalvexArkLoggingAssistant::CleanUp");
    return remove ? ERROR_CALL_NOT_IMPLEMENTED : ERROR_SUCCESS;
}

qv::WString HalvexArkLoggingAssistant::GetName()
{
    return qv::WString(L"HalvexArkLoggingAssistant");
}

// The trace sessions are not written yet.
uint32_t HalvexArkLoggingAssistant::StartSession(Json::Value&, uint32_t)
{
    LogScope scope(L"HalvexArkLoggingAssistant::StartSession");
    return ERROR_CALL_NOT_IMPLEMENTED;
}

uint32_t HalvexArkLoggingAssistant::EndSession(Json::Value&, uint32_t)
{
    LogScope scope(L"HalvexArkLoggingAssistant::EndSession");
    return ERROR_CALL_NOT_IMPLEMENTED;
}

// Predefined settings mean "logging off".
uint32_t HalvexArkLoggingAssistant::ApplyPredefinedSettings(uint32_t value)
{
    LogScope scope(L"HalvexArkLoggingAssistant::ApplyPredefinedSettings");
    Json::Value none;
    return static_cast<ISessionAssistant*>(this)->EndSession(none, value);
}
