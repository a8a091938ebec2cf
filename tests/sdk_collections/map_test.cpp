#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "sdk/qv_map.h"
#include "sdk_collections/tracked_value.h"

namespace {

using sdk_collections_test::TrackedValue;

enum class ThreatStatus : int32_t { Detected = 1, Cured = 2, Deleted = 3, Skipped = 4 };

using CountMap = qv::Map<ThreatStatus, uint64_t>;

// Walks a map as a plug-in would: only through the interface.
template <typename K, typename V>
std::vector<std::pair<K, V>> Walk(const qv::IMap<K, V>& map)
{
    std::vector<std::pair<K, V>> seen;
    qv::IConstEnum<K, V>* it = map.GetConstEnum();
    for (; it->HasMore(); it->Next())
        seen.emplace_back(*it->Key(), *it->Value());
    it->Release();
    return seen;
}

TEST(QvMap, KeyedOperationsAndTheirResults)
{
    CountMap map;
    qv::IMap<ThreatStatus, uint64_t>& view = map;

    EXPECT_EQ(view.Insert(ThreatStatus::Detected, 5), 0u);
    EXPECT_EQ(view.Insert(ThreatStatus::Cured, 7), 0u);
    EXPECT_EQ(view.Insert(ThreatStatus::Detected, 99), 183u) << "existing key";
    EXPECT_EQ(view.Count(), 2u);

    uint64_t value = 12345;
    EXPECT_EQ(view.Get(ThreatStatus::Detected, value), 0u);
    EXPECT_EQ(value, 5u) << "the first value stays";
    value = 12345;
    EXPECT_EQ(view.Get(ThreatStatus::Skipped, value), 1168u);
    EXPECT_EQ(value, 12345u) << "destination untouched";

    ASSERT_NE(view.Find(ThreatStatus::Cured), nullptr);
    *view.Find(ThreatStatus::Cured) = 8;
    const qv::IMap<ThreatStatus, uint64_t>& constView = map;
    ASSERT_NE(constView.Find(ThreatStatus::Cured), nullptr);
    EXPECT_EQ(*constView.Find(ThreatStatus::Cured), 8u);
    EXPECT_EQ(view.Find(ThreatStatus::Deleted), nullptr);
    EXPECT_EQ(constView.Find(ThreatStatus::Deleted), nullptr);

    EXPECT_EQ(view.Remove(ThreatStatus::Deleted), 1168u);
    EXPECT_EQ(view.Count(), 2u);
    EXPECT_EQ(view.Remove(ThreatStatus::Detected), 0u);
    EXPECT_EQ(view.Remove(ThreatStatus::Detected), 1168u);
    EXPECT_EQ(view.Count(), 1u);
    EXPECT_EQ(Walk(view), (std::vector<std::pair<ThreatStatus, uint64_t>>{{ThreatStatus::Cured, 8}}));
}

TEST(QvMap, ManyKeysStayReachableThroughGrowthAndRemoval)
{
    qv::Map<int32_t, int32_t> map;
    constexpr int32_t kKeys = 2000;
    for (int32_t k = 0; k < kKeys; ++k)
        ASSERT_EQ(map.Insert(k * 7919, k), 0u);
    for (int32_t k = 0; k < kKeys; k += 2)
        ASSERT_EQ(map.Remove(k * 7919), 0u);

    EXPECT_EQ(map.Count(), static_cast<uint32_t>(kKeys / 2));
    for (int32_t k = 0; k < kKeys; ++k)
    {
        const int32_t* found = map.Find(k * 7919);
        if (k % 2 == 0)
        {
            EXPECT_EQ(found, nullptr) << k;
            continue;
        }
        ASSERT_NE(found, nullptr) << k;
        EXPECT_EQ(*found, k);
    }
    // Every remaining element is walked exactly once.
    std::set<int32_t> walked;
    for (const auto& entry : Walk(map))
        EXPECT_TRUE(walked.insert(entry.second).second) << "visited twice: " << entry.second;
    EXPECT_EQ(walked.size(), static_cast<size_t>(kKeys / 2));
}

TEST(QvMap, RemoveThroughEnumeratorMovesItToTheNextElement)
{
    qv::Map<int32_t, TrackedValue> map;
    for (int32_t k = 0; k < 10; ++k)
        map.Insert(k, TrackedValue(k));
    ASSERT_EQ(TrackedValue::Alive(), 10);

    qv::IMap<int32_t, TrackedValue>& view = map;
    qv::IEnum<int32_t, TrackedValue>* it = view.GetEnum();
    while (it->HasMore())
    {
        if (*it->Key() % 3 == 0)
            EXPECT_EQ(view.Remove(*it), 0u);
        else
            it->Next();
    }
    EXPECT_EQ(view.Remove(*it), 1168u) << "past the end";
    EXPECT_EQ(view.Count(), 6u);
    EXPECT_EQ(TrackedValue::Alive(), 6);

    std::vector<int32_t> left;
    for (it->Reset(); it->HasMore(); it->Next())
        left.push_back(it->Value()->value);
    EXPECT_EQ(std::set<int32_t>(left.begin(), left.end()), (std::set<int32_t>{1, 2, 4, 5, 7, 8}));

    for (it->Reset(); it->HasMore();)
        ASSERT_EQ(view.Remove(*it), 0u);
    EXPECT_EQ(view.Count(), 0u);
    EXPECT_FALSE(it->HasMore());
    EXPECT_EQ(TrackedValue::Alive(), 0);
    it->Release();

    // The map still works once emptied this way.
    EXPECT_EQ(view.Insert(3, TrackedValue(30)), 0u);
    EXPECT_EQ(view.Find(3)->value, 30);
}

TEST(QvMap, EnumeratorOfAnotherMapRemovesNothing)
{
    CountMap mine, other;
    mine.Insert(ThreatStatus::Cured, 1);
    other.Insert(ThreatStatus::Cured, 1);
    qv::IEnum<ThreatStatus, uint64_t>* foreign = other.GetEnum();
    EXPECT_EQ(mine.Remove(*foreign), 1168u);
    EXPECT_EQ(mine.Count(), 1u);
    EXPECT_EQ(other.Count(), 1u);
    foreign->Release();
}

TEST(QvMap, EnumeratorsReadAndWriteTheLiveNodes)
{
    CountMap map;
    map.Insert(ThreatStatus::Detected, 1);

    qv::IEnum<ThreatStatus, uint64_t>* it = map.GetEnum();
    ASSERT_TRUE(it->HasMore());
    EXPECT_EQ(*it->Key(), ThreatStatus::Detected);
    *it->Value() = 41;
    EXPECT_EQ(it->Value(), map.Find(ThreatStatus::Detected)) << "an address into the node, not a copy";
    it->Next();
    EXPECT_FALSE(it->HasMore());
    EXPECT_EQ(it->Key(), nullptr);
    EXPECT_EQ(it->Value(), nullptr);
    it->Next(); // stays past the end
    EXPECT_FALSE(it->HasMore());
    it->Reset();
    ASSERT_TRUE(it->HasMore());
    EXPECT_EQ(*it->Key(), ThreatStatus::Detected);
    it->Release();

    qv::IConstEnum<ThreatStatus, uint64_t>* constIt = map.GetConstEnum();
    ASSERT_TRUE(constIt->HasMore());
    EXPECT_EQ(*constIt->Value(), 41u);
    constIt->Release();
}

TEST(QvMap, ClearFreesEveryElement)
{
    qv::Map<int32_t, TrackedValue> map;
    map.Clear();
    EXPECT_EQ(map.Count(), 0u);
    for (int32_t k = 0; k < 20; ++k)
        map.Insert(k, TrackedValue(k));
    map.Clear();
    EXPECT_EQ(map.Count(), 0u);
    EXPECT_EQ(TrackedValue::Alive(), 0);
    qv::IConstEnum<int32_t, TrackedValue>* it = map.GetConstEnum();
    EXPECT_FALSE(it->HasMore());
    it->Release();
    EXPECT_EQ(map.Find(5), nullptr);
    EXPECT_EQ(map.Insert(5, TrackedValue(50)), 0u);
    EXPECT_EQ(map.Count(), 1u);
}

TEST(QvMap, DestroyingTheMapFreesEveryElement)
{
    {
        qv::Map<int32_t, TrackedValue> map;
        for (int32_t k = 0; k < 20; ++k)
            map.Insert(k, TrackedValue(k));
        ASSERT_EQ(TrackedValue::Alive(), 20);
    }
    EXPECT_EQ(TrackedValue::Alive(), 0);
}

// Shaped like the on-demand summary: three counters and a map of counts per status.
struct Summary
{
    uint64_t first, second, third;
    CountMap perStatus;
};

TEST(QvMap, CopiesAreDeepDownToNestedMaps)
{
    qv::Map<int32_t, Summary> original;
    Summary summary{1, 2, 3, {}};
    summary.perStatus.Insert(ThreatStatus::Detected, 10);
    ASSERT_EQ(original.Insert(7, summary), 0u);
    summary.perStatus.Insert(ThreatStatus::Cured, 20);
    EXPECT_EQ(original.Find(7)->perStatus.Count(), 1u) << "Insert copied the nested map";

    qv::Map<int32_t, Summary> copy(original);
    *copy.Find(7)->perStatus.Find(ThreatStatus::Detected) = 11;
    copy.Find(7)->perStatus.Insert(ThreatStatus::Deleted, 30);
    copy.Find(7)->third = 33;
    EXPECT_EQ(*original.Find(7)->perStatus.Find(ThreatStatus::Detected), 10u);
    EXPECT_EQ(original.Find(7)->perStatus.Count(), 1u);
    EXPECT_EQ(original.Find(7)->third, 3u);

    Summary out{};
    ASSERT_EQ(copy.Get(7, out), 0u);
    EXPECT_EQ(out.perStatus.Count(), 2u);
    out.perStatus.Clear();
    EXPECT_EQ(copy.Find(7)->perStatus.Count(), 2u) << "Get copied the nested map";

    qv::Map<int32_t, Summary> assigned;
    assigned.Insert(1, Summary{});
    assigned = original;
    EXPECT_EQ(assigned.Count(), 1u);
    EXPECT_EQ(assigned.Find(1), nullptr);
    EXPECT_EQ(*assigned.Find(7)->perStatus.Find(ThreatStatus::Detected), 10u);
    assigned.Find(7)->perStatus.Clear();
    EXPECT_EQ(original.Find(7)->perStatus.Count(), 1u);

    auto& self = assigned;
    assigned = self;
    EXPECT_EQ(assigned.Count(), 1u);
}

} // namespace
