#include "trace_logging/halvex_ark_logging_assistant.h"

#include <windows.h>

#include <shlwapi.h>

#include <json/json.h>

#include "logging/log.h"
#include "logging/log_scope.h"
#include "trace_logging/event_trace_logger.h"
#include "trace_logging/folder_tree.h"

using qv::Product::Support::ISessionAssistant;

namespace {

// The host asks for the session interface under a second id as well.
constexpr const wchar_t* kSessionAssistantAliasId = L"{D01F7793-BF4C-46D5-B43C-66494B6E87BD}";

constexpr uint32_t kConfigKindPath = 2;
constexpr uint32_t kPluginMissing = 5002;

// folder\name, plus ".etl" unless the name has an extension already.
std::wstring EtlFilePath(const std::wstring& folder, const std::wstring& name)
{
    const std::wstring path = JoinPath(folder, name.c_str());
    // PathAddExtensionW may write MAX_PATH characters whatever the text's length.
    std::vector<wchar_t> buffer(path.size() + MAX_PATH + 1, L'\0');
    path.copy(buffer.data(), path.size());
    ::PathAddExtensionW(buffer.data(), L".etl");
    return buffer.data();
}

} // namespace

HalvexArkLoggingAssistant::HalvexArkLoggingAssistant()
{
    logHandle.Acquire();
}

HalvexArkLoggingAssistant::~HalvexArkLoggingAssistant()
{
    // The members go after the log binding: providers, keyword, then the held plug-in.
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

uint32_t HalvexArkLoggingAssistant::Init(IPluginHost* host)
{
    static constexpr const wchar_t* kScope = L"HalvexArkLoggingAssistant::Init";
    LogScope scope(kScope);
    if (configPlugin.GetPlugin(ComponentManagerOf(host)) == nullptr)
        return logging::Fail(kPluginMissing, LogLevel::Error, kScope, L"Couldn't get ServConfig plugin!");
    logging::Write(LogLevel::Debug, kScope, L"Successfully initialized assistant");
    return ERROR_SUCCESS;
}

void HalvexArkLoggingAssistant::UnInit()
{
    LogScope scope(L"HalvexArkLoggingAssistant::UnInit");
    configPlugin.Release();
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

qv::WString HalvexArkLoggingAssistant::GetName()
{
    return qv::WString(L"HalvexArkLoggingAssistant");
}

std::wstring HalvexArkLoggingAssistant::GetEtlFolder()
{
    const wchar_t* productFolder = configPlugin->GetString(kConfigKindPath, L"product");
    // Without it the folder would be relative to whatever the host's current folder is.
    if (productFolder == nullptr || *productFolder == L'\0')
        return std::wstring();
    std::wstring folder = productFolder;
    for (const wchar_t* part : {L"Logs", L"ARK", L"ETL"})
        folder = JoinPath(folder, part);
    return folder;
}

void HalvexArkLoggingAssistant::Configure(EventTraceLogger& logger, const ProviderEntry& entry,
                                          const std::wstring& etlFolder) const
{
    logger.logFilePath = EtlFilePath(etlFolder, entry.name).c_str();
    logger.providerGuid = entry.guid.c_str();
    logger.sessionName = entry.name.c_str();
    logger.matchAnyKeyword = matchAnyKeyword;
    logger.enableLevel = static_cast<int32_t>(enableLevel);
}

uint32_t HalvexArkLoggingAssistant::StartSession(Json::Value&, uint32_t)
{
    static constexpr const wchar_t* kScope = L"HalvexArkLoggingAssistant::StartSession";
    LogScope scope(kScope);
    if (!configPlugin)
        return logging::Fail(kPluginMissing, LogLevel::Error, kScope, L"No ServConfig plugin");
    const std::wstring folder = GetEtlFolder();
    if (folder.empty())
        return logging::Fail(ERROR_PATH_NOT_FOUND, LogLevel::Error, kScope, L"Product folder unknown");

    EnsureDirectory(folder);
    uint32_t result = ERROR_SUCCESS;
    for (const ProviderEntry& entry : providers)
    {
        EventTraceLogger logger;
        Configure(logger, entry, folder);
        // Every provider is tried; one failure fails the whole call.
        if (const DWORD code = logger.ActivateLogging(); code != ERROR_SUCCESS)
            result = logging::Fail(ERROR_FUNCTION_FAILED, LogLevel::Error, kScope,
                                   L"Failed to start logging for %s %d", entry.name.c_str(), code);
    }
    return result;
}

uint32_t HalvexArkLoggingAssistant::EndSession(Json::Value&, uint32_t)
{
    static constexpr const wchar_t* kScope = L"HalvexArkLoggingAssistant::EndSession";
    LogScope scope(kScope);
    if (!configPlugin)
        return logging::Fail(kPluginMissing, LogLevel::Error, kScope, L"No ServConfig plugin");
    // Stopping finds sessions and keys by name, so an unknown folder does not matter here.
    const std::wstring folder = GetEtlFolder();

    uint32_t result = ERROR_SUCCESS;
    for (const ProviderEntry& entry : providers)
    {
        EventTraceLogger logger;
        Configure(logger, entry, folder);
        if (const DWORD code = logger.DisableLogging(); code != ERROR_SUCCESS)
            result = logging::Fail(ERROR_FUNCTION_FAILED, LogLevel::Error, kScope,
                                   L"Failed to stop logging for %s %d", entry.name.c_str(), code);
    }
    return result;
}

// Predefined settings mean "logging off".
uint32_t HalvexArkLoggingAssistant::ApplyPredefinedSettings(uint32_t value)
{
    LogScope scope(L"HalvexArkLoggingAssistant::ApplyPredefinedSettings");
    Json::Value none;
    return static_cast<ISessionAssistant*>(this)->EndSession(none, value);
}

uint32_t HalvexArkLoggingAssistant::CleanUp(uint32_t, uint32_t, bool remove)
{
    static constexpr const wchar_t* kScope = L"HalvexArkLoggingAssistant::CleanUp";
    LogScope scope(kScope);
    if (!remove)
        return ERROR_SUCCESS;
    if (!configPlugin)
        return logging::Fail(kPluginMissing, LogLevel::Error, kScope, L"No ServConfig plugin");
    const std::wstring folder = GetEtlFolder();
    if (folder.empty())
        return logging::Fail(ERROR_PATH_NOT_FOUND, LogLevel::Error, kScope, L"Product folder unknown");

    if (DeleteFolder(folder))
        return ERROR_SUCCESS;
    const DWORD code = ::GetLastError();
    // A running session keeps its .etl file open: the folder cannot be emptied yet.
    if (code == ERROR_DIR_NOT_EMPTY)
        return ERROR_SUCCESS;
    return logging::Fail(code, LogLevel::Error, kScope, L"DeleteFolder (ETL) failed. Status = %d", code);
}
