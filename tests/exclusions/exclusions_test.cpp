#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fake_host/fake_component_manager.h"
#include "fake_host/fake_exclusion_manager.h"
#include "fake_host/fake_plugin_host.h"
#include "malware_monitor/exclusions.h"

namespace {

using qv::Product::ExclusionEntry;
using qv::Product::ExclusionList;
using qv::Product::ExclusionsUpdate;

constexpr const wchar_t* kManagerName = L"Exclusion.Manager";
const std::wstring kOnAccess = L"FileScan.OnAccess";
const std::wstring kOnDemand = L"FileScan.OnDemand";

ExclusionEntry Entry(uint32_t type, const wchar_t* value) { return ExclusionEntry{type, qv::WString(value)}; }

std::vector<std::pair<uint32_t, std::wstring>> Plain(const ExclusionList& list)
{
    std::vector<std::pair<uint32_t, std::wstring>> plain;
    for (const ExclusionEntry& entry : list)
        plain.emplace_back(entry.type, entry.value.c_str());
    return plain;
}

class ExclusionsTest : public ::testing::Test
{
protected:
    ExclusionsTest() { components.Add<qv::Product::IExclusionManager>(kManagerName, &manager); }

    ExclusionList Snapshot()
    {
        ExclusionList snapshot;
        tracker.CopyActiveExclusions(snapshot);
        return snapshot;
    }

    bool Update(const std::wstring& component = kOnDemand)
    {
        return manager.DeliverUpdate(component, ExclusionsUpdate{});
    }

    int Reads() { return manager.Component(kOnAccess).Reads() + manager.Component(kOnDemand).Reads(); }

    FakeExclusionManager manager;
    FakeComponentManager components;
    FakePluginHost host{&components};
    Exclusions tracker{kManagerName};
};

TEST_F(ExclusionsTest, InitWatchesBothScannersAndTakesASnapshot)
{
    manager.Component(kOnDemand).SetActive({Entry(0, L"C:\\a"), Entry(1, L"*.log")});
    manager.Component(kOnAccess).SetActive({Entry(3, L"c:\\A"), Entry(3, L"C:\\b"), Entry(0, L"C:\\B")});

    EXPECT_EQ(tracker.Init(&host), 0u);

    for (const std::wstring& component : {kOnAccess, kOnDemand})
    {
        SCOPED_TRACE(std::string(component.begin(), component.end()));
        EXPECT_EQ(manager.Opens(component), 1);
        const auto calls = manager.Component(component).Subscribers().SubscribeCalls();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].sink, &tracker);
        EXPECT_EQ(calls[0].reserved1, 0u);
        EXPECT_EQ(calls[0].reserved2, 0u);
        EXPECT_EQ(manager.Component(component).Reads(), 1);
    }
    // On-demand entries first, then the on-access ones that are new once type 3 reads as 0.
    EXPECT_EQ(Plain(Snapshot()), (std::vector<std::pair<uint32_t, std::wstring>>{
                                     {0, L"C:\\a"}, {1, L"*.log"}, {0, L"C:\\b"}}));
    EXPECT_FALSE(tracker.HaveExclusionsChanged());
}

TEST_F(ExclusionsTest, UnInitUndoesEverything)
{
    manager.Component(kOnDemand).SetActive({Entry(0, L"C:\\a")});
    ASSERT_EQ(tracker.Init(&host), 0u);
    tracker.UnInit();

    for (const std::wstring& component : {kOnAccess, kOnDemand})
    {
        EXPECT_EQ(manager.Component(component).Subscribers().Count(), 0u);
        EXPECT_EQ(manager.Closes(component), 1);
    }
    EXPECT_EQ(components.Grants(kManagerName), 2);
    EXPECT_EQ(components.Outstanding(), 0);
    EXPECT_TRUE(Snapshot().empty());

    // No update reaches the tracker any more, and nothing is read.
    ASSERT_TRUE(Update());
    EXPECT_FALSE(tracker.HaveExclusionsChanged());
    EXPECT_EQ(Reads(), 2);
}

TEST_F(ExclusionsTest, WithoutAnUpdateNothingIsRead)
{
    ASSERT_EQ(tracker.Init(&host), 0u);
    const int reads = Reads();
    manager.Component(kOnDemand).SetActive({Entry(0, L"C:\\new")});
    EXPECT_FALSE(tracker.HaveExclusionsChanged());
    EXPECT_EQ(Reads(), reads);
}

TEST_F(ExclusionsTest, AnUpdateWithEmptyListsStillLeadsToARead)
{
    ASSERT_EQ(tracker.Init(&host), 0u);
    manager.Component(kOnAccess).SetActive({Entry(0, L"C:\\new")});
    ASSERT_TRUE(Update(kOnAccess));
    EXPECT_TRUE(tracker.HaveExclusionsChanged());
    EXPECT_EQ(Plain(Snapshot()), (std::vector<std::pair<uint32_t, std::wstring>>{{0, L"C:\\new"}}));
}

TEST_F(ExclusionsTest, TwoUpdatesGiveOneReadAndOneAnswer)
{
    ASSERT_EQ(tracker.Init(&host), 0u);
    manager.Component(kOnDemand).SetActive({Entry(0, L"C:\\new")});
    ASSERT_TRUE(Update(kOnDemand));
    ASSERT_TRUE(Update(kOnAccess));
    const int reads = Reads();

    EXPECT_TRUE(tracker.HaveExclusionsChanged());
    EXPECT_EQ(Reads(), reads + 2);
    EXPECT_FALSE(tracker.HaveExclusionsChanged());
    EXPECT_EQ(Reads(), reads + 2);
}

struct ChangeCase
{
    const char* name;
    ExclusionList onDemandBefore, onAccessBefore, onDemandAfter, onAccessAfter;
    bool changed;
};

class ExclusionChanges : public ExclusionsTest, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(ExclusionChanges, AnswerOnlyRealDifferences)
{
    const ChangeCase& c = GetParam();
    manager.Component(kOnDemand).SetActive(c.onDemandBefore);
    manager.Component(kOnAccess).SetActive(c.onAccessBefore);
    ASSERT_EQ(tracker.Init(&host), 0u);
    const ExclusionList before = Snapshot();

    manager.Component(kOnDemand).SetActive(c.onDemandAfter);
    manager.Component(kOnAccess).SetActive(c.onAccessAfter);
    ASSERT_TRUE(Update());
    EXPECT_EQ(tracker.HaveExclusionsChanged(), c.changed);

    // An unchanged answer keeps the snapshot as it was, spelling and order included.
    if (!c.changed)
    {
        EXPECT_EQ(Plain(Snapshot()), Plain(before));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExclusionChanges,
    ::testing::Values(
        ChangeCase{"OtherOrder", {Entry(0, L"C:\\a"), Entry(1, L"C:\\b")}, {},
                   {Entry(1, L"C:\\b"), Entry(0, L"C:\\a")}, {}, false},
        ChangeCase{"OtherCase", {Entry(0, L"C:\\a")}, {}, {Entry(0, L"c:\\A")}, {}, false},
        ChangeCase{"MovedToOnAccessAsType3", {Entry(0, L"C:\\a")}, {}, {}, {Entry(3, L"C:\\a")}, false},
        ChangeCase{"Type3BesideType0IsOneEntry", {Entry(0, L"C:\\a")}, {}, {Entry(0, L"C:\\a")},
                   {Entry(3, L"C:\\A")}, false},
        ChangeCase{"Added", {Entry(0, L"C:\\a")}, {}, {Entry(0, L"C:\\a")}, {Entry(0, L"C:\\b")}, true},
        ChangeCase{"Removed", {Entry(0, L"C:\\a"), Entry(0, L"C:\\b")}, {}, {Entry(0, L"C:\\a")}, {}, true},
        ChangeCase{"Replaced", {Entry(0, L"C:\\a")}, {}, {Entry(0, L"C:\\b")}, {}, true},
        ChangeCase{"OtherType", {Entry(0, L"C:\\a")}, {}, {Entry(1, L"C:\\a")}, {}, true},
        ChangeCase{"OnAccessTypeOtherThan3Stays", {Entry(0, L"C:\\a")}, {}, {}, {Entry(2, L"C:\\a")}, true}),
    [](const ::testing::TestParamInfo<ChangeCase>& info) { return std::string(info.param.name); });

TEST_F(ExclusionsTest, MissingManagerIsTolerated)
{
    components.SetMissing(kManagerName, true);
    EXPECT_EQ(tracker.Init(&host), 0u);
    EXPECT_EQ(manager.Opens(kOnAccess) + manager.Opens(kOnDemand), 0);
    EXPECT_FALSE(tracker.HaveExclusionsChanged());
    tracker.UnInit();
    EXPECT_EQ(components.Releases(kManagerName), 0);
}

TEST_F(ExclusionsTest, NullHostIsTolerated)
{
    EXPECT_EQ(tracker.Init(nullptr), 0u);
    EXPECT_TRUE(Snapshot().empty());
    tracker.UnInit();
}

TEST_F(ExclusionsTest, SetThatCannotBeOpenedIsLeftOut)
{
    manager.SetOpenResult(kOnAccess, 5);
    manager.Component(kOnAccess).SetActive({Entry(0, L"C:\\on-access")});
    manager.Component(kOnDemand).SetActive({Entry(0, L"C:\\on-demand")});

    EXPECT_EQ(tracker.Init(&host), 0u);
    EXPECT_EQ(Plain(Snapshot()), (std::vector<std::pair<uint32_t, std::wstring>>{{0, L"C:\\on-demand"}}));
    EXPECT_EQ(manager.Component(kOnAccess).Reads(), 0);

    tracker.UnInit();
    EXPECT_EQ(manager.Closes(kOnAccess), 0);
    EXPECT_EQ(manager.Closes(kOnDemand), 1);
    EXPECT_EQ(components.Outstanding(), 0);
}

TEST_F(ExclusionsTest, FailedSubscriptionUndoesEverythingAndIsReported)
{
    manager.Component(kOnDemand).Subscribers().SetSubscribeResult(1627);

    EXPECT_EQ(tracker.Init(&host), 1627u);

    EXPECT_EQ(manager.Component(kOnAccess).Subscribers().Count(), 0u);
    EXPECT_EQ(manager.Closes(kOnAccess), 1);
    EXPECT_EQ(manager.Closes(kOnDemand), 1);
    EXPECT_EQ(components.Outstanding(), 0);
    EXPECT_EQ(Reads(), 0);
}

TEST_F(ExclusionsTest, SinkSlotTwoAnswersTheFixedValue) { EXPECT_EQ(tracker.Revision(), 120u); }

} // namespace
