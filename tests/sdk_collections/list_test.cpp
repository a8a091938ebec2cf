#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "sdk/qv_list.h"
#include "sdk_collections/tracked_value.h"

namespace {

using sdk_collections_test::TrackedValue;
using Int64List = qv::List<int64_t>;

std::vector<int64_t> Walk(const qv::IList<int64_t>& list)
{
    std::vector<int64_t> seen;
    qv::IConstListEnum<int64_t>* it = list.GetConstEnum();
    for (; it->HasMore(); it->Next())
        seen.push_back(*it->Value());
    it->Release();
    return seen;
}

TEST(QvList, EmptyListReportsNotFoundAndNullEnds)
{
    Int64List list;
    qv::IList<int64_t>& view = list;
    const qv::IList<int64_t>& constView = list;
    int64_t out = 77;
    EXPECT_EQ(view.GetFront(out), 1168u);
    EXPECT_EQ(view.GetBack(out), 1168u);
    EXPECT_EQ(out, 77);
    EXPECT_EQ(view.Front(), nullptr);
    EXPECT_EQ(view.Back(), nullptr);
    EXPECT_EQ(constView.Front(), nullptr);
    EXPECT_EQ(constView.Back(), nullptr);
    EXPECT_EQ(view.Count(), 0);
    EXPECT_TRUE(Walk(view).empty());
}

TEST(QvList, PushesAtBothEndsKeepOrder)
{
    Int64List list;
    qv::IList<int64_t>& view = list;
    EXPECT_EQ(view.PushBack(2), 0u);
    EXPECT_EQ(view.PushBack(3), 0u);
    EXPECT_EQ(view.PushFront(1), 0u);
    EXPECT_EQ(view.PushFront(-5000000000LL), 0u);
    EXPECT_EQ(Walk(view), (std::vector<int64_t>{-5000000000LL, 1, 2, 3}));
    EXPECT_EQ(view.Count(), 4);

    int64_t out = 0;
    EXPECT_EQ(view.GetFront(out), 0u);
    EXPECT_EQ(out, -5000000000LL);
    EXPECT_EQ(view.GetBack(out), 0u);
    EXPECT_EQ(out, 3);
    *view.Back() = 30;
    const qv::IList<int64_t>& constView = list;
    EXPECT_EQ(*constView.Back(), 30);
    EXPECT_EQ(*constView.Front(), -5000000000LL);
}

TEST(QvList, RemoveThroughEnumeratorMovesItToTheNextElement)
{
    qv::List<TrackedValue> list;
    for (int v = 0; v < 8; ++v)
        list.PushBack(TrackedValue(v));
    qv::IList<TrackedValue>& view = list;

    qv::IListEnum<TrackedValue>* it = view.GetEnum();
    while (it->HasMore())
    {
        if (it->Value()->value % 2 == 0)
            EXPECT_EQ(view.Remove(*it), 0u);
        else
            it->Next();
    }
    EXPECT_EQ(view.Remove(*it), 1168u) << "past the end";
    EXPECT_EQ(view.Count(), 4);
    EXPECT_EQ(TrackedValue::Alive(), 4);

    std::vector<int> left;
    for (it->Reset(); it->HasMore(); it->Next())
        left.push_back(it->Value()->value);
    EXPECT_EQ(left, (std::vector<int>{1, 3, 5, 7}));
    EXPECT_EQ(view.Front()->value, 1);
    EXPECT_EQ(view.Back()->value, 7);

    for (it->Reset(); it->HasMore();)
        ASSERT_EQ(view.Remove(*it), 0u);
    it->Release();
    EXPECT_EQ(view.Count(), 0);
    EXPECT_EQ(view.Front(), nullptr);
    EXPECT_EQ(TrackedValue::Alive(), 0);
    EXPECT_EQ(view.PushFront(TrackedValue(9)), 0u);
    EXPECT_EQ(view.Back()->value, 9);
}

TEST(QvList, EnumeratorOfAnotherListRemovesNothing)
{
    Int64List mine, other;
    mine.PushBack(1);
    other.PushBack(1);
    qv::IListEnum<int64_t>* foreign = other.GetEnum();
    EXPECT_EQ(mine.Remove(*foreign), 1168u);
    EXPECT_EQ(mine.Count(), 1);
    EXPECT_EQ(other.Count(), 1);
    foreign->Release();
}

TEST(QvList, ClearAndDestructionFreeEveryElement)
{
    {
        qv::List<TrackedValue> list;
        list.Clear();
        for (int v = 0; v < 5; ++v)
            list.PushFront(TrackedValue(v));
        list.Clear();
        EXPECT_EQ(list.Count(), 0);
        EXPECT_EQ(TrackedValue::Alive(), 0);
        for (int v = 0; v < 5; ++v)
            list.PushBack(TrackedValue(v));
    }
    EXPECT_EQ(TrackedValue::Alive(), 0);
}

TEST(QvList, CopiesAreDeep)
{
    Int64List original;
    original.PushBack(1);
    original.PushBack(2);
    Int64List copy(original);
    *copy.Front() = 10;
    copy.PushBack(3);
    EXPECT_EQ(Walk(original), (std::vector<int64_t>{1, 2}));
    EXPECT_EQ(Walk(copy), (std::vector<int64_t>{10, 2, 3}));

    original = copy;
    EXPECT_EQ(Walk(original), (std::vector<int64_t>{10, 2, 3}));
    copy.Clear();
    EXPECT_EQ(original.Count(), 3);
}

} // namespace
