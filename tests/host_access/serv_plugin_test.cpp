#include <gtest/gtest.h>

#include <string>

#include "fake_host/fake_component_manager.h"
#include "fake_host/fake_settings_store.h"
#include "fake_host/fake_telemetry.h"
#include "module/host/icv_settings.h"
#include "module/host/itelemetry.h"
#include "module/serv_plugin.h"

namespace {

constexpr const wchar_t* kName = L"CVSettings";

class ServPluginTest : public ::testing::Test
{
protected:
    ServPluginTest() { manager.Add<ICVSettings>(kName, &settings); }

    FakeSettingsStore settings;
    FakeComponentManager manager;
};

TEST_F(ServPluginTest, ObtainedPluginIsReleasedExactlyOnce)
{
    ServPlugin<ICVSettings> holder(kName);
    EXPECT_EQ(holder.GetPlugin(&manager), &settings);
    EXPECT_EQ(holder.Get(), &settings);
    holder.Release();
    holder.Release();
    EXPECT_EQ(holder.Get(), nullptr);
    EXPECT_EQ(manager.Releases(kName), 1);
    EXPECT_STREQ(holder.Name().c_str(), kName);
}

TEST_F(ServPluginTest, DestructionReleasesWhatIsHeld)
{
    {
        ServPlugin<ICVSettings> holder(kName);
        ASSERT_NE(holder.GetPlugin(&manager), nullptr);
        EXPECT_EQ(manager.Releases(kName), 0);
    }
    EXPECT_EQ(manager.Grants(kName), 1);
    EXPECT_EQ(manager.Releases(kName), 1);
}

TEST_F(ServPluginTest, AskingAgainGivesBackTheFirstPlugin)
{
    {
        ServPlugin<ICVSettings> holder(kName);
        ASSERT_NE(holder.GetPlugin(&manager), nullptr);
        ASSERT_NE(holder.GetPlugin(&manager), nullptr);
        EXPECT_EQ(manager.Grants(kName), 2);
        EXPECT_EQ(manager.Releases(kName), 1);
    }
    EXPECT_EQ(manager.Outstanding(), 0);
}

TEST_F(ServPluginTest, FailedQueryLeadsToNoRelease)
{
    manager.SetMissing(kName, true);
    {
        ServPlugin<ICVSettings> holder(kName);
        EXPECT_EQ(holder.GetPlugin(&manager), nullptr);
        holder.Release();
    }
    EXPECT_EQ(manager.Queries(kName), 1);
    EXPECT_EQ(manager.Releases(kName), 0);
}

TEST_F(ServPluginTest, PluginWithAnotherIdIsNotHandedOut)
{
    FakeTelemetry telemetry;
    manager.Add<Telemetry::ITelemetry>(L"Other", &telemetry);
    {
        ServPlugin<ICVSettings> holder(L"Other");
        EXPECT_EQ(holder.GetPlugin(&manager), nullptr);
    }
    EXPECT_EQ(manager.Queries(L"Other"), 1);
    EXPECT_EQ(manager.Releases(L"Other"), 0);
}

TEST_F(ServPluginTest, NullManagerGivesNullAfterReleasingWhatWasHeld)
{
    ServPlugin<ICVSettings> holder(kName);
    ASSERT_NE(holder.GetPlugin(&manager), nullptr);
    EXPECT_EQ(holder.GetPlugin(nullptr), nullptr);
    EXPECT_EQ(manager.Releases(kName), 1);
    EXPECT_EQ(manager.Outstanding(), 0);
}

TEST_F(ServPluginTest, NullHostYieldsNoManager) { EXPECT_EQ(ComponentManagerOf(nullptr), nullptr); }

TEST(TelemetryId, IsParsedFromItsText)
{
    EXPECT_EQ(Telemetry::ITelemetry::Id(), InterfaceId(0x8709E306, 0x83480276, 0xCDA84CEF, 0x872DA2C0));
}

} // namespace
