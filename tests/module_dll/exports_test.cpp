// QvCreateObject / QvDestroyObject of the built qvmodule.dll, loaded as the host loads it. The
// objects' log handles make their life visible: the recording log.dll sees LogInit when the first
// object is built and LogDeinit when the last one is destroyed.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logging/testing/log_recorder.h"
#include "malware_monitor/imalware_monitor.h"
#include "module/iqv_base_interface.h"
#include "module/iserv_plugin.h"
#include "module/testing/qv_module_library.h"
#include "trace_logging/isession_assistant.h"

namespace {

using qv::cvsdk::FileScan::MalwareMonitor::IMalwareMonitor;
using qv::Product::Support::ISessionAssistant;

constexpr const wchar_t* kMonitor = L"FileScan.MalwareMonitor";
constexpr const wchar_t* kAssistant = L"HalvexArkLoggingAssistant";
constexpr InterfaceId kUnsupportedId{1, 2, 3, 4};
const InterfaceId kSessionAssistantAliasId = InterfaceId::FromText(L"D01F7793-BF4C-46D5-B43C-66494B6E87BD");
constexpr DWORD kNotFound = ERROR_NOT_FOUND;

class ExportsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(recorder.Loaded()) << "the recording log.dll is missing beside the test program";
        ASSERT_TRUE(module.Loaded()) << "qvmodule.dll is missing beside the test program";
    }

    void* Create(const wchar_t* name, InterfaceId id)
    {
        void* object = nullptr;
        EXPECT_EQ(module.Create(name, id, &object), 0u);
        EXPECT_NE(object, nullptr);
        return object;
    }

    LogRecorder recorder;
    QvModuleLibrary module;
};

TEST_F(ExportsTest, BaseAndPluginIdsGiveThePrimaryInterface)
{
    for (const wchar_t* name : {kMonitor, kAssistant})
        for (const InterfaceId& id : {IQvBaseInterface::kId, IServPlugin::kId})
        {
            SCOPED_TRACE(name);
            void* object = Create(name, id);
            auto* primary = static_cast<IServPlugin*>(object);
            EXPECT_EQ(primary->QueryInterface(IQvBaseInterface::kId), object);
            EXPECT_EQ(primary->Start(), 0u);
            module.Destroy(name, object);
        }
    EXPECT_EQ(recorder.InitCount(), 4);
    EXPECT_EQ(recorder.DeinitCount(), 4);
}

TEST_F(ExportsTest, MonitorIdGivesTheMonitorInterface)
{
    auto* monitor = static_cast<IMalwareMonitor*>(Create(kMonitor, IMalwareMonitor::kId));
    bool enabled = true;
    EXPECT_EQ(monitor->IsEnabled(&enabled), 0u);
    EXPECT_FALSE(enabled);

    // Destroyed through the interface it was handed out as.
    module.Destroy(kMonitor, monitor);
    EXPECT_EQ(recorder.DeinitCount(), 1);
}

TEST_F(ExportsTest, BothSessionIdsGiveTheSameSessionInterface)
{
    auto* session = static_cast<ISessionAssistant*>(Create(kAssistant, ISessionAssistant::kId));
    EXPECT_STREQ(session->GetName().c_str(), L"HalvexArkLoggingAssistant");
    module.Destroy(kAssistant, session);
    EXPECT_EQ(recorder.DeinitCount(), 1);

    auto* primary = static_cast<IQvBaseInterface*>(Create(kAssistant, IQvBaseInterface::kId));
    void* bySessionId = primary->QueryInterface(ISessionAssistant::kId);
    EXPECT_NE(bySessionId, nullptr);
    EXPECT_NE(bySessionId, static_cast<void*>(primary));
    EXPECT_EQ(primary->QueryInterface(kSessionAssistantAliasId), bySessionId);
    module.Destroy(kAssistant, primary);
}

class UnknownNameExportsTest : public ExportsTest, public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(UnknownNameExportsTest, GiveNotFoundAndBuildNothing)
{
    void* object = &object;
    EXPECT_EQ(module.Create(GetParam(), IQvBaseInterface::kId, &object), kNotFound);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(recorder.InitCount(), 0) << "an object was built";
}

INSTANTIATE_TEST_SUITE_P(Names, UnknownNameExportsTest,
                         ::testing::Values(L"filescan.malwaremonitor", L"FileScan.MalwareMonitor ",
                                           L"HalvexArkLoggingAssistant ", L"halvexarkloggingassistant",
                                           L"FileScan", L""));

TEST_F(ExportsTest, UnsupportedIdBuildsAndDestroysOneObject)
{
    for (const wchar_t* name : {kMonitor, kAssistant})
    {
        SCOPED_TRACE(name);
        recorder.Clear();
        void* object = &object;
        EXPECT_EQ(module.Create(name, kUnsupportedId, &object), kNotFound);
        EXPECT_EQ(object, nullptr);
        EXPECT_EQ(recorder.InitCount(), 1);
        EXPECT_EQ(recorder.DeinitCount(), 1);
    }
}

// Stands for an object that some other module made.
class ForeignObject final : public IQvBaseInterface
{
public:
    void* QueryInterface(InterfaceId) override { return this; }
};

TEST_F(ExportsTest, DestroyIgnoresWrongNamesAndForeignObjects)
{
    void* monitor = Create(kMonitor, IQvBaseInterface::kId);

    module.Destroy(kAssistant, monitor);
    module.Destroy(L"NotRegistered", monitor);
    EXPECT_EQ(recorder.DeinitCount(), 0) << "the monitor was destroyed";

    ForeignObject foreign;
    module.Destroy(kMonitor, static_cast<IQvBaseInterface*>(&foreign));
    module.Destroy(kAssistant, static_cast<IQvBaseInterface*>(&foreign));

    // Still alive and working.
    recorder.Clear();
    EXPECT_EQ(static_cast<IServPlugin*>(monitor)->Start(), 0u);
    EXPECT_TRUE(recorder.Contains(LogLevel::Debug, L"MalwareMonitorAL::Start", L"-> MalwareMonitorAL::Start()"));

    module.Destroy(kMonitor, monitor);
    EXPECT_EQ(recorder.DeinitCount(), 1);
}

// One traced call, end to end: the module hands the wide scope name for %s and log.dll formats it.
TEST_F(ExportsTest, TracedCallsReachTheLibraryAsWideText)
{
    auto* plugin = static_cast<IServPlugin*>(Create(kAssistant, IServPlugin::kId));
    recorder.Clear();
    plugin->Stop();

    const std::vector<LogLine> lines = recorder.LinesFrom(module.Handle());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].nestingChange, +1);
    EXPECT_EQ(lines[0].level, LogLevel::Debug);
    EXPECT_EQ(lines[0].scope, L"HalvexArkLoggingAssistant::Stop");
    EXPECT_EQ(lines[0].format, L"-> %s");
    EXPECT_EQ(lines[0].text, L"-> HalvexArkLoggingAssistant::Stop()");
    EXPECT_EQ(lines[1].nestingChange, -1);
    EXPECT_EQ(lines[1].format, L"<- %s [%d]");
    EXPECT_EQ(lines[1].text.rfind(L"<- HalvexArkLoggingAssistant::Stop() [", 0), 0u) << lines[1].text;
    module.Destroy(kAssistant, plugin);
}

TEST_F(ExportsTest, LastObjectTearsTheLibraryDownAndTheNextBindsItAgain)
{
    void* monitor = Create(kMonitor, IServPlugin::kId);
    void* assistant = Create(kAssistant, IServPlugin::kId);
    EXPECT_EQ(recorder.InitCount(), 1) << "one binding for all objects";

    module.Destroy(kMonitor, monitor);
    EXPECT_EQ(recorder.DeinitCount(), 0);

    recorder.Clear();
    module.Destroy(kAssistant, assistant);
    const std::vector<LogCall> calls = recorder.Calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].entryPoint, L"LogDeinit");
    EXPECT_EQ(calls[1].entryPoint, L"LogUninitDeskMetrics");
    EXPECT_EQ(calls[2].entryPoint, L"LogRemoveModule");
    EXPECT_EQ(calls[2].text, L"logging::CLogDLL::~CLogDLL");

    monitor = Create(kMonitor, IServPlugin::kId);
    EXPECT_EQ(recorder.InitCount(), 1) << "LogInit again for the new binding";
    module.Destroy(kMonitor, monitor);

    // With the test's own pin gone, nothing may keep log.dll loaded.
    recorder.Unpin();
    EXPECT_EQ(::GetModuleHandleW(L"log.dll"), nullptr);
}

TEST(ExportsWithoutLogLibrary, BothObjectsWorkAndNothingIsLoaded)
{
    ASSERT_EQ(::GetModuleHandleW(L"log.dll"), nullptr) << "an earlier test kept log.dll loaded";
    QvModuleLibrary module(L"nolog\\qvmodule.dll");
    ASSERT_TRUE(module.Loaded());
    ASSERT_NE(module.Path().find(L"\\nolog\\"), std::wstring::npos) << "loaded another copy: " << std::string(module.Path().begin(), module.Path().end());

    for (const wchar_t* name : {kMonitor, kAssistant})
    {
        SCOPED_TRACE(name);
        void* object = nullptr;
        ASSERT_EQ(module.Create(name, IServPlugin::kId, &object), 0u);
        auto* plugin = static_cast<IServPlugin*>(object);
        EXPECT_EQ(plugin->Init(nullptr), 0u);
        EXPECT_EQ(plugin->Start(), 0u);
        plugin->Stop();
        plugin->UnInit();
        module.Destroy(name, object);
    }
    EXPECT_EQ(::GetModuleHandleW(L"log.dll"), nullptr);
}

} // namespace
