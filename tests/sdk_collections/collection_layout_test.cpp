#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "sdk/qv_list_interfaces.h"
#include "sdk/qv_map_interfaces.h"

namespace {

enum class Status : int32_t { A, B };

using IMapT = qv::IMap<Status, uint64_t>;
using IEnumT = qv::IEnum<Status, uint64_t>;
using IConstEnumT = qv::IConstEnum<Status, uint64_t>;
using IListT = qv::IList<int64_t>;
using IListEnumT = qv::IListEnum<int64_t>;
using IConstListEnumT = qv::IConstListEnum<int64_t>;

template <typename Member>
size_t SlotOf(Member member)
{
    uintptr_t value = 0;
    std::memcpy(&value, &member, sizeof(value));
    return (value - 1) / sizeof(void*);
}

TEST(CollectionLayout, MapSlots)
{
    EXPECT_EQ(SlotOf(&IMapT::Insert), 0u);
    EXPECT_EQ(SlotOf(static_cast<uint64_t* (IMapT::*)(const Status&)>(&IMapT::Find)), 1u);
    EXPECT_EQ(SlotOf(static_cast<const uint64_t* (IMapT::*)(const Status&) const>(&IMapT::Find)), 2u);
    EXPECT_EQ(SlotOf(&IMapT::Get), 3u);
    EXPECT_EQ(SlotOf(static_cast<uint32_t (IMapT::*)(IEnumT&)>(&IMapT::Remove)), 4u);
    EXPECT_EQ(SlotOf(static_cast<uint32_t (IMapT::*)(const Status&)>(&IMapT::Remove)), 5u);
    EXPECT_EQ(SlotOf(&IMapT::GetConstEnum), 6u);
    EXPECT_EQ(SlotOf(&IMapT::GetEnum), 7u);
    EXPECT_EQ(SlotOf(&IMapT::Clear), 8u);
    EXPECT_EQ(SlotOf(&IMapT::Count), 9u);
}

TEST(CollectionLayout, MapEnumeratorSlotsDifferOnlyInAccessorOrder)
{
    EXPECT_EQ(SlotOf(&IConstEnumT::HasMore), 0u);
    EXPECT_EQ(SlotOf(&IConstEnumT::Next), 1u);
    EXPECT_EQ(SlotOf(&IConstEnumT::Key), 2u);
    EXPECT_EQ(SlotOf(&IConstEnumT::Value), 3u);
    EXPECT_EQ(SlotOf(&IConstEnumT::Release), 4u);
    EXPECT_EQ(SlotOf(&IConstEnumT::Reset), 5u);
    EXPECT_EQ(SlotOf(&IConstEnumT::DeletingDestructor), 6u);

    EXPECT_EQ(SlotOf(&IEnumT::HasMore), 0u);
    EXPECT_EQ(SlotOf(&IEnumT::Next), 1u);
    EXPECT_EQ(SlotOf(&IEnumT::Value), 2u);
    EXPECT_EQ(SlotOf(&IEnumT::Key), 3u);
    EXPECT_EQ(SlotOf(&IEnumT::Release), 4u);
    EXPECT_EQ(SlotOf(&IEnumT::Reset), 5u);
    EXPECT_EQ(SlotOf(&IEnumT::DeletingDestructor), 6u);
}

TEST(CollectionLayout, ListSlots)
{
    EXPECT_EQ(SlotOf(&IListT::PushBack), 0u);
    EXPECT_EQ(SlotOf(&IListT::PushFront), 1u);
    EXPECT_EQ(SlotOf(static_cast<int64_t* (IListT::*)()>(&IListT::Back)), 2u);
    EXPECT_EQ(SlotOf(static_cast<const int64_t* (IListT::*)() const>(&IListT::Back)), 3u);
    EXPECT_EQ(SlotOf(&IListT::GetBack), 4u);
    EXPECT_EQ(SlotOf(static_cast<int64_t* (IListT::*)()>(&IListT::Front)), 5u);
    EXPECT_EQ(SlotOf(static_cast<const int64_t* (IListT::*)() const>(&IListT::Front)), 6u);
    EXPECT_EQ(SlotOf(&IListT::GetFront), 7u);
    EXPECT_EQ(SlotOf(&IListT::Remove), 8u);
    EXPECT_EQ(SlotOf(&IListT::GetConstEnum), 9u);
    EXPECT_EQ(SlotOf(&IListT::GetEnum), 10u);
    EXPECT_EQ(SlotOf(&IListT::Clear), 11u);
    EXPECT_EQ(SlotOf(&IListT::Count), 12u);
}

TEST(CollectionLayout, ListEnumeratorSlots)
{
    EXPECT_EQ(SlotOf(&IConstListEnumT::HasMore), 0u);
    EXPECT_EQ(SlotOf(&IConstListEnumT::Next), 1u);
    EXPECT_EQ(SlotOf(&IConstListEnumT::Value), 2u);
    EXPECT_EQ(SlotOf(&IConstListEnumT::Release), 3u);
    EXPECT_EQ(SlotOf(&IConstListEnumT::Reset), 4u);
    EXPECT_EQ(SlotOf(&IConstListEnumT::DeletingDestructor), 5u);

    EXPECT_EQ(SlotOf(&IListEnumT::HasMore), 0u);
    EXPECT_EQ(SlotOf(&IListEnumT::Next), 1u);
    EXPECT_EQ(SlotOf(&IListEnumT::Value), 2u);
    EXPECT_EQ(SlotOf(&IListEnumT::Release), 3u);
    EXPECT_EQ(SlotOf(&IListEnumT::Reset), 4u);
    EXPECT_EQ(SlotOf(&IListEnumT::DeletingDestructor), 5u);
}

} // namespace
