// The fake host is what every module test stands on: these tests pin the behaviour the module
// relies on (writes visible only after commit, no event after unsubscribe, events on another
// thread, plug-ins counted back).
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <string>

#include "fake_host/fake_host.h"
#include "malware_monitor/testing/threat_builders.h"
#include "module/serv_plugin.h"

namespace {

constexpr const wchar_t* kNode = L"/FileScan.MalwareMonitor/";

TEST(FakeSettingsStore, WritesBecomeVisibleOnlyWhenCommitted)
{
    FakeSettingsStore store;
    ISettingsAccessor* writer = store.CreateWriter();
    ASSERT_NE(writer, nullptr);
    EXPECT_TRUE(writer->WriteBool(L"/Enabled", true));
    EXPECT_TRUE(writer->WriteJson(L"/Status", Json::Value("x")));
    EXPECT_FALSE(store.Stored(kNode, L"/Enabled").has_value());

    EXPECT_EQ(writer->ErrorCount(), 0u);
    EXPECT_TRUE(store.Commit(writer, kNode, 0, 1));
    writer->Release();

    ISettingsAccessor* reader = store.OpenForReading(kNode, 0);
    ASSERT_NE(reader, nullptr);
    bool enabled = false;
    Json::Value status;
    EXPECT_TRUE(reader->ReadBool(L"/Enabled", enabled, 0));
    EXPECT_TRUE(enabled);
    EXPECT_TRUE(reader->ReadJson(L"/Status", status, 0));
    EXPECT_EQ(status, Json::Value("x"));
    EXPECT_FALSE(reader->ReadBool(L"/Status", enabled, 0)) << "not a boolean";
    EXPECT_FALSE(reader->ReadJson(L"/Missing", status, 0));
    reader->Release();

    EXPECT_EQ(store.LiveAccessors(), 0);
    ASSERT_EQ(store.Commits().size(), 1u);
    EXPECT_EQ(store.Commits()[0].node, kNode);
    EXPECT_EQ(store.Commits()[0].mode, 1u);
}

TEST(FakeSettingsStore, FaultsFailTheirOperation)
{
    FakeSettingsStore store;
    store.Seed(kNode, L"/Enabled", Json::Value(true));

    SettingsFaults faults;
    faults.failingPaths = {L"/Status"};
    store.SetFaults(faults);
    ISettingsAccessor* writer = store.CreateWriter();
    EXPECT_TRUE(writer->WriteBool(L"/Enabled", false));
    EXPECT_FALSE(writer->WriteJson(L"/Status", Json::Value(1)));
    EXPECT_EQ(writer->ErrorCount(), 1u);

    faults.commit = true;
    store.SetFaults(faults);
    EXPECT_FALSE(store.Commit(writer, kNode, 0, 1));
    writer->Release();
    EXPECT_EQ(*store.Stored(kNode, L"/Enabled"), Json::Value(true));

    store.SetFaults(SettingsFaults{true, true, false, false, {}, false});
    EXPECT_EQ(store.OpenForReading(kNode, 0), nullptr);
    EXPECT_EQ(store.CreateWriter(), nullptr);

    store.SetFaults(SettingsFaults{false, false, true, false, {}, false});
    ISettingsAccessor* reader = store.OpenForReading(kNode, 0);
    bool value = false;
    EXPECT_FALSE(reader->ReadBool(L"/Enabled", value, 0));
    reader->Release();
    EXPECT_EQ(store.LiveAccessors(), 0);
}

TEST(FakeSettingsStore, FileBackedStoreKeepsCommittedValuesForTheNextRun)
{
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / (L"qv_settings_" + std::to_wstring(GetCurrentProcessId()) + L".json");
    std::filesystem::remove(file);
    {
        FakeSettingsStore first(file.wstring());
        ISettingsAccessor* writer = first.CreateWriter();
        Json::Value status(Json::objectValue);
        status["count"] = 2;
        writer->WriteJson(L"/Status", status);
        writer->WriteBool(L"/Enabled", true);
        first.Commit(writer, kNode, 0, 1);
        writer->Release();
    }
    FakeSettingsStore second(file.wstring());
    ASSERT_TRUE(second.Stored(kNode, L"/Status").has_value());
    EXPECT_EQ((*second.Stored(kNode, L"/Status"))["count"].asInt(), 2);
    EXPECT_EQ(*second.Stored(kNode, L"/Enabled"), Json::Value(true));
    std::filesystem::remove(file);
}

class CountingScanSink final : public qv::cvsdk::FileScan::IOnAccess::IScanEvents
{
public:
    uint32_t OnVirusFound(const qv::cvsdk::FileScan::OnAccessThreat& threat, uint32_t) override
    {
        threadId = GetCurrentThreadId();
        lastObject = threat.object.c_str();
        ++calls;
        return 0;
    }
    std::atomic<int> calls{0};
    DWORD threadId = 0;
    std::wstring lastObject;
};

TEST(FakeOnAccess, DeliversOnItsOwnThreadUntilUnsubscribed)
{
    FakeHost host;
    CountingScanSink sink;
    ASSERT_EQ(host.onAccess.Subscribe(&sink, 0, 0), 0u);
    ASSERT_TRUE(host.onAccess.DeliverVirusFound(testing_records::MakeOnAccessThreat({L"C:\\a.exe", L"T"})));
    EXPECT_EQ(sink.calls, 1);
    EXPECT_EQ(sink.lastObject, L"C:\\a.exe");
    EXPECT_NE(sink.threadId, GetCurrentThreadId());
    EXPECT_EQ(sink.threadId, host.onAccess.DeliveryThreadId());

    ASSERT_EQ(host.onAccess.Unsubscribe(&sink, 0, 0), 0u);
    ASSERT_TRUE(host.onAccess.DeliverVirusFound(testing_records::MakeOnAccessThreat({L"C:\\b.exe", L"T"})));
    EXPECT_EQ(sink.calls, 1);
}

TEST(FakeHost, HandsOutEveryPluginUnderItsName)
{
    FakeHost host;
    IComponentManager* manager = host.host.GetComponentManager();
    {
        ServPlugin<ICVSettings> settings(fake_plugin_names::kSettings);
        ServPlugin<qv::cvsdk::FileScan::IOnAccess> onAccess(fake_plugin_names::kOnAccess);
        ServPlugin<qv::cvsdk::FileScan::IOnDemand> onDemand(fake_plugin_names::kOnDemand);
        ServPlugin<qv::cvsdk::Update::IUpdate> update(fake_plugin_names::kUpdate);
        ServPlugin<Telemetry::ITelemetry> telemetry(fake_plugin_names::kTelemetry);
        ServPlugin<qv::Product::IExclusionManager> exclusions(fake_plugin_names::kExclusions);
        ServPlugin<IServConfig> config(fake_plugin_names::kConfig);
        EXPECT_EQ(settings.GetPlugin(manager), &host.settings);
        EXPECT_EQ(onAccess.GetPlugin(manager), &host.onAccess);
        EXPECT_EQ(onDemand.GetPlugin(manager), &host.onDemand);
        EXPECT_EQ(update.GetPlugin(manager), &host.updater);
        EXPECT_EQ(telemetry.GetPlugin(manager), &host.telemetry);
        EXPECT_EQ(exclusions.GetPlugin(manager), &host.exclusions);
        EXPECT_EQ(config.GetPlugin(manager), &host.config);
        EXPECT_EQ(host.manager.Outstanding(), 7);
    }
    EXPECT_EQ(host.manager.Outstanding(), 0);
}

} // namespace
