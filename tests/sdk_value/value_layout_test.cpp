#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "sdk/value_nodes.h"
#include "sdk/value_store.h"

namespace {

using qv::Value;
using qv::ValueStore;

template <typename MemberPointer>
size_t VirtualSlotValue(MemberPointer member)
{
    size_t raw;
    std::memcpy(&raw, &member, sizeof raw);
    return raw;
}

// One slot for the destructor, as the host's compiler lays it out, then GetType.
TEST(ValueLayout, NodeSlots)
{
    EXPECT_EQ(VirtualSlotValue(&Value::BaseValue::DeletingDestructor), 1u);
    EXPECT_EQ(VirtualSlotValue(&Value::BaseValue::GetType), 1u + sizeof(void*));
}

TEST(ValueLayout, EveryNodeRecordsTheRuntimeHeap)
{
    const Value values[] = {Value(1.0), Value(true), Value(L"s"), Value::NewArray(), Value::NewDict()};
    for (const Value& value : values)
    {
        const Value::BaseValue* node = value.Node();
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->memory.allocate, &std::malloc);
        EXPECT_EQ(node->memory.reallocate, &std::realloc);
        EXPECT_EQ(node->memory.deallocate, &std::free);
        // Right behind the vtable pointer.
        EXPECT_EQ(reinterpret_cast<const char*>(&node->memory) - reinterpret_cast<const char*>(node), sizeof(void*));
    }
    EXPECT_EQ(Value().Node(), nullptr);
    EXPECT_EQ(static_cast<const Value::StringValue*>(values[2].Node())->text.Capacity(), 64u);
}

TEST(ValueStoreGrowth, StartsAtEightAndDoubles)
{
    Value array = Value::NewArray();
    const auto* node = static_cast<const Value::ArrayValue*>(array.Node());
    EXPECT_EQ(node->items->ownsItems, 1);
    std::vector<uint32_t> capacities;
    for (int i = 0; i < 33; ++i)
    {
        capacities.push_back(node->items->capacity);
        array.Append(Value(i));
    }
    capacities.push_back(node->items->capacity);
    EXPECT_EQ(capacities[0], 8u);
    EXPECT_EQ(capacities[8], 8u);
    EXPECT_EQ(capacities[9], 16u);
    EXPECT_EQ(capacities[17], 32u);
    EXPECT_EQ(capacities[33], 64u);
    EXPECT_EQ(node->items->count, 33u);

    Value dict;
    for (int i = 0; i < 9; ++i)
        dict[qv::WString::Format(L"k%d", i).c_str()] = i;
    const auto* dictNode = static_cast<const Value::DictValue*>(dict.Node());
    EXPECT_EQ(dictNode->keys->capacity, 16u);
    EXPECT_EQ(dictNode->values->capacity, 16u);
}

struct FailingHeap
{
    static size_t lastRequest;
    static void* Reallocate(void*, size_t size)
    {
        lastRequest = size;
        return nullptr;
    }
    static qv::MemoryFunctions Functions() { return {&std::malloc, &Reallocate, &std::free}; }
};
size_t FailingHeap::lastRequest = 0;

TEST(ValueStoreGrowth, AFailedGrowthLeavesTheStoreIntact)
{
    ValueStore<Value>* store = ValueStore<Value>::Create(FailingHeap::Functions());
    for (int i = 0; i < 8; ++i)
        store->Append(Value(i));
    Value* slots = store->items;
    EXPECT_THROW(store->Append(Value(L"ninth")), std::bad_alloc);
    EXPECT_EQ(FailingHeap::lastRequest, 16 * sizeof(void*));
    EXPECT_EQ(store->count, 8u);
    EXPECT_EQ(store->capacity, 8u);
    EXPECT_EQ(store->items, slots);
    EXPECT_EQ(store->items[7].AsNumber(), 7.0);
    ValueStore<Value>::Destroy(store);
}

// The growth never wraps around: near the top it takes the largest count that still fits,
// and at the top it refuses.
TEST(ValueStoreGrowth, DoublingThatWouldOverflowDoesNotWrap)
{
    const size_t mostSlots = std::min<size_t>(std::numeric_limits<size_t>::max() / sizeof(void*),
                                              std::numeric_limits<uint32_t>::max());
    ValueStore<Value> store{1, 0, 0, nullptr, FailingHeap::Functions()};

    store.capacity = static_cast<uint32_t>(mostSlots / 2 + 1);
    store.count = store.capacity;
    FailingHeap::lastRequest = 0;
    EXPECT_THROW(store.Append(Value()), std::bad_alloc);
    EXPECT_EQ(FailingHeap::lastRequest, mostSlots * sizeof(void*));

    store.capacity = static_cast<uint32_t>(mostSlots);
    store.count = store.capacity;
    FailingHeap::lastRequest = 0;
    EXPECT_THROW(store.Append(Value()), std::bad_alloc);
    EXPECT_EQ(FailingHeap::lastRequest, 0u);
}

} // namespace
