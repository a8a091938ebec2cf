// HalvexArkLoggingAssistant as the host sees it: created through the built qvmodule.dll, driven
// through its interfaces, with the fake host's configuration plug-in. The DLL's trace-session
// calls are routed to the simulation (Wine only stubs them); registry and files are real.
#include <windows.h>

#include <gtest/gtest.h>

#include <json/json.h>

#include <memory>
#include <string>

#include "fake_host/fake_host.h"
#include "logging/testing/log_recorder.h"
#include "module/iserv_plugin.h"
#include "module/testing/qv_module_library.h"
#include "registry_probe.h"
#include "test_folder.h"
#include "trace_logging/isession_assistant.h"
#include "trace_logging/testing/simulated_trace_control.h"
#include "trace_logging/testing/trace_import_redirect.h"

namespace {

using qv::Product::Support::ISessionAssistant;
using registry_probe::DwordBytes;
using registry_probe::kAutologgerRoot;
using registry_probe::QwordBytes;
using registry_probe::SzBytes;

constexpr const wchar_t* kAssistant = L"HalvexArkLoggingAssistant";
constexpr const wchar_t* kProviderGuid = L"{C041D9E4-266F-4144-86F4-B031A570505A}";
const std::wstring kSessionKey = kAutologgerRoot + L"\\halvex";
const std::wstring kProviderKey = kSessionKey + L"\\" + kProviderGuid;

class LoggingAssistantTest : public ::testing::Test
{
protected:
    LogRecorder recorder;
    QvModuleLibrary module;
    SimulatedTraceControl simulation;
    TraceImportRedirect redirect{module.Handle(), simulation};
    TestFolder product{L"assistant_product"};
    const std::wstring etlFolder = product / L"Logs\\ARK\\ETL";
    const std::wstring etlFile = etlFolder + L"\\halvex.etl";
    FakeHost host;
    IServPlugin* plugin = nullptr;
    ISessionAssistant* session = nullptr;
    Json::Value settings;

    void SetUp() override
    {
        ASSERT_TRUE(recorder.Loaded()) << "the recording log.dll is missing beside the test program";
        ASSERT_TRUE(module.Loaded()) << "qvmodule.dll is missing beside the test program";
        ASSERT_EQ(redirect.RedirectedCount(), 3) << "the DLL's trace-session imports were not found";
        registry_probe::DeleteTree(kSessionKey);
        host.config.SetProductFolder(product.Path());
        void* object = nullptr;
        ASSERT_EQ(module.Create(kAssistant, IServPlugin::kId, &object), 0u);
        plugin = static_cast<IServPlugin*>(object);
        session = static_cast<ISessionAssistant*>(plugin->QueryInterface(ISessionAssistant::kId));
        ASSERT_NE(session, nullptr);
    }

    void TearDown() override
    {
        if (plugin != nullptr)
            module.Destroy(kAssistant, plugin);
        EXPECT_EQ(host.manager.Outstanding(), 0) << "a plug-in was not given back";
        simulation.StopAll();
        registry_probe::DeleteTree(kSessionKey);
        EXPECT_FALSE(registry_probe::KeyExists(kSessionKey));
    }

    bool Logged(LogLevel level, const wchar_t* operation, const std::wstring& text) const
    {
        return recorder.Contains(level, std::wstring(L"HalvexArkLoggingAssistant::") + operation, text);
    }

    void Init() { ASSERT_EQ(plugin->Init(&host.host), 0u); }
};

TEST_F(LoggingAssistantTest, InitTakesTheConfigurationPluginAndUnInitGivesItBack)
{
    EXPECT_EQ(plugin->Init(&host.host), 0u);
    EXPECT_TRUE(Logged(LogLevel::Debug, L"Init", L"Successfully initialized assistant"));
    EXPECT_EQ(host.manager.Grants(fake_plugin_names::kConfig), 1);
    plugin->UnInit();
    EXPECT_EQ(host.manager.Releases(fake_plugin_names::kConfig), 1);
    EXPECT_EQ(plugin->Start(), 0u);
    plugin->Stop();
}

TEST_F(LoggingAssistantTest, DestroyingAnInitialisedAssistantGivesThePluginBack)
{
    Init();
    module.Destroy(kAssistant, plugin);
    plugin = nullptr;
    EXPECT_EQ(host.manager.Releases(fake_plugin_names::kConfig), 1);
}

TEST_F(LoggingAssistantTest, WithoutTheConfigurationPluginSessionsAreRefusedAndNothingIsTouched)
{
    host.manager.SetMissing(fake_plugin_names::kConfig, true);
    EXPECT_EQ(plugin->Init(&host.host), 5002u);
    EXPECT_TRUE(Logged(LogLevel::Error, L"Init", L"Couldn't get ServConfig plugin!"));
    EXPECT_EQ(plugin->Init(nullptr), 5002u);
    WriteFile(product / L"keep.txt");
    registry_probe::Write(kSessionKey, L"Start", REG_SZ, L"x", 4);

    EXPECT_EQ(session->StartSession(settings, 0), 5002u);
    EXPECT_EQ(session->EndSession(settings, 0), 5002u);
    EXPECT_EQ(session->ApplyPredefinedSettings(0), 5002u);
    EXPECT_EQ(session->CleanUp(0, 0, true), 5002u);
    EXPECT_EQ(session->CleanUp(0, 0, false), 0u);

    EXPECT_TRUE(simulation.StartCalls().empty());
    EXPECT_TRUE(simulation.ControlCalls().empty());
    EXPECT_TRUE(registry_probe::Read(kSessionKey, L"Start").exists);
    EXPECT_FALSE(PathExists(product / L"Logs"));
    EXPECT_TRUE(PathExists(product / L"keep.txt"));
}

TEST_F(LoggingAssistantTest, StartSessionSwitchesOnTheLiveSessionAndTheAutologger)
{
    Init();
    EXPECT_EQ(session->StartSession(settings, 0), 0u);
    EXPECT_TRUE(Logged(LogLevel::Debug, L"StartSession", L"-> HalvexArkLoggingAssistant::StartSession()"));

    const auto questions = host.config.Questions();
    ASSERT_FALSE(questions.empty());
    EXPECT_EQ(questions[0].kind, 2u);
    EXPECT_EQ(questions[0].key, L"product");

    EXPECT_TRUE(simulation.IsRunning(L"halvex"));
    EXPECT_TRUE(PathExists(etlFile));
    const auto starts = simulation.StartCalls();
    ASSERT_EQ(starts.size(), 1u);
    const auto& block = *reinterpret_cast<const EVENT_TRACE_PROPERTIES*>(starts[0].properties.data());
    EXPECT_EQ(block.MaximumFileSize, 500u);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(starts[0].properties.data() + 2168)), etlFile);
    const auto enables = simulation.EnableCalls();
    ASSERT_EQ(enables.size(), 1u);
    EXPECT_EQ(enables[0].enableFlags, 0xFFFFFFFFu);
    EXPECT_EQ(enables[0].enableLevel, 5u);

    EXPECT_EQ(registry_probe::Read(kSessionKey, L"FileName").bytes, SzBytes(etlFile));
    EXPECT_EQ(registry_probe::Read(kSessionKey, L"Guid").bytes, SzBytes(kProviderGuid));
    EXPECT_EQ(registry_probe::Read(kSessionKey, L"MaxFileSize").bytes, DwordBytes(500));
    EXPECT_EQ(registry_probe::Read(kProviderKey, L"EnableLevel").bytes, DwordBytes(255));
    EXPECT_EQ(registry_probe::Read(kProviderKey, L"MatchAnyKeyword").bytes, QwordBytes(4294967295ull));
}

TEST_F(LoggingAssistantTest, SecondStartSessionFailsAndLeavesTheRegistryAsTheFirstWroteIt)
{
    Init();
    ASSERT_EQ(session->StartSession(settings, 0), 0u);
    // Marks that only a rewrite would undo.
    const uint32_t marker = 77;
    registry_probe::Write(kSessionKey, L"MaxFileSize", REG_DWORD, &marker, sizeof marker);
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kProviderKey.c_str(), L"EnableProperty");

    EXPECT_EQ(session->StartSession(settings, 0), 1627u);
    EXPECT_TRUE(Logged(LogLevel::Error, L"StartSession", L"Failed to start logging for halvex 1627"));
    EXPECT_EQ(simulation.StartCalls().back().result, static_cast<ULONG>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(registry_probe::Read(kSessionKey, L"MaxFileSize").bytes, DwordBytes(marker));
    EXPECT_FALSE(registry_probe::Read(kProviderKey, L"EnableProperty").exists);
    EXPECT_TRUE(simulation.IsRunning(L"halvex"));
}

// ApplyPredefinedSettings switches logging off exactly as EndSession does.
class SwitchOffTest : public LoggingAssistantTest, public ::testing::WithParamInterface<bool>
{
protected:
    uint32_t SwitchOff()
    {
        return GetParam() ? session->ApplyPredefinedSettings(0) : session->EndSession(settings, 0);
    }
};

TEST_P(SwitchOffTest, StopsTheSessionAndRemovesTheAutologger)
{
    Init();
    ASSERT_EQ(session->StartSession(settings, 0), 0u);
    EXPECT_EQ(SwitchOff(), 0u);
    EXPECT_FALSE(simulation.IsRunning(L"halvex"));
    EXPECT_FALSE(registry_probe::KeyExists(kSessionKey));
    EXPECT_TRUE(Logged(LogLevel::Debug, L"EndSession", L"-> HalvexArkLoggingAssistant::EndSession()"));
}

TEST_P(SwitchOffTest, WithNothingRunningFailsButStillRemovesTheAutologger)
{
    Init();
    const uint32_t one = 1;
    registry_probe::Write(kProviderKey, L"Enabled", REG_DWORD, &one, sizeof one);

    EXPECT_EQ(SwitchOff(), 1627u);
    EXPECT_TRUE(Logged(LogLevel::Error, L"EndSession", L"Failed to stop logging for halvex 1627"));
    EXPECT_EQ(simulation.ControlCalls().back().result, static_cast<ULONG>(ERROR_WMI_INSTANCE_NOT_FOUND));
    EXPECT_FALSE(registry_probe::KeyExists(kSessionKey));
}

INSTANTIATE_TEST_SUITE_P(EndSessionOrPredefined, SwitchOffTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "ApplyPredefinedSettings" : "EndSession"; });

TEST_F(LoggingAssistantTest, CleanUpWithRemoveFalseTouchesNothing)
{
    Init();
    EXPECT_TRUE(::CreateDirectoryW((product / L"Logs").c_str(), nullptr));
    ::CreateDirectoryW((product / L"Logs\\ARK").c_str(), nullptr);
    ::CreateDirectoryW(etlFolder.c_str(), nullptr);
    WriteFile(etlFolder + L"\\old.etl");
    EXPECT_EQ(session->CleanUp(1, 2, false), 0u);
    EXPECT_TRUE(PathExists(etlFolder + L"\\old.etl"));
    EXPECT_TRUE(host.config.Questions().empty()) << "not even the folder was asked for";
}

TEST_F(LoggingAssistantTest, CleanUpBesideARunningSessionRemovesAllButItsFile)
{
    Init();
    ASSERT_EQ(session->StartSession(settings, 0), 0u);
    ::CreateDirectoryW((etlFolder + L"\\older").c_str(), nullptr);
    for (const wchar_t* name : {L"a.etl", L"older\\b.etl", L"readonly.etl"})
        WriteFile(etlFolder + L"\\" + name);
    ASSERT_TRUE(::SetFileAttributesW((etlFolder + L"\\readonly.etl").c_str(), FILE_ATTRIBUTE_READONLY));

    EXPECT_EQ(session->CleanUp(0, 0, true), 0u);
    EXPECT_TRUE(PathExists(etlFile)) << "held open by the running session";
    for (const wchar_t* name : {L"a.etl", L"older", L"readonly.etl"})
        EXPECT_FALSE(PathExists(etlFolder + L"\\" + name)) << name;
    EXPECT_FALSE(Logged(LogLevel::Error, L"CleanUp", L"DeleteFolder (ETL) failed. Status = 145"));

    ASSERT_EQ(session->EndSession(settings, 0), 0u);
    EXPECT_EQ(session->CleanUp(0, 0, true), 0u);
    EXPECT_FALSE(PathExists(etlFolder));
    EXPECT_TRUE(PathExists(product / L"Logs\\ARK")) << "only the ETL folder goes";
}

TEST_F(LoggingAssistantTest, CleanUpWithoutAnEtlFolderReportsWhyItIsMissing)
{
    Init();
    EXPECT_EQ(session->CleanUp(0, 0, true), static_cast<uint32_t>(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(Logged(LogLevel::Error, L"CleanUp", L"DeleteFolder (ETL) failed. Status = 3"));
}

TEST_F(LoggingAssistantTest, UnknownProductFolderRefusesStartAndCleanUpButStillSwitchesOff)
{
    host.config.SetProductFolder(std::nullopt);
    Init();
    registry_probe::Write(kSessionKey, L"Start", REG_SZ, L"x", 4);

    EXPECT_EQ(session->StartSession(settings, 0), static_cast<uint32_t>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(session->CleanUp(0, 0, true), static_cast<uint32_t>(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(simulation.StartCalls().empty());
    EXPECT_TRUE(registry_probe::Read(kSessionKey, L"Start").exists);
    EXPECT_FALSE(PathExists(L"Logs")) << "nothing made relative to the current folder";

    EXPECT_EQ(session->EndSession(settings, 0), 1627u);
    EXPECT_FALSE(registry_probe::KeyExists(kSessionKey));
}

} // namespace
