#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <new>
#include <utility>

namespace qv {

// The heap a value node and its stores were made with; recorded in each of them.
struct MemoryFunctions
{
    void* (*allocate)(size_t size);
    void* (*reallocate)(void* block, size_t size);
    void (*deallocate)(void* block);
};

inline MemoryFunctions RuntimeMemory() noexcept
{
    return MemoryFunctions{&std::malloc, &std::realloc, &std::free};
}

// A growable array of owning pointers. Item is a one-pointer owner (a value or a wide string)
// that holds nothing pointing at itself, so the slots may move with reallocate.
template <typename Item>
struct ValueStore
{
    static_assert(sizeof(Item) == sizeof(void*), "a slot is one pointer");

    static constexpr uint32_t kInitialCapacity = 8;

    uint8_t ownsItems;
    uint32_t count;
    uint32_t capacity;
    Item* items;
    MemoryFunctions memory;

    static ValueStore* Create(const MemoryFunctions& memory)
    {
        auto* store = static_cast<ValueStore*>(memory.allocate(sizeof(ValueStore)));
        if (store == nullptr)
            throw std::bad_alloc();
        auto* slots = static_cast<Item*>(memory.allocate(kInitialCapacity * sizeof(Item)));
        if (slots == nullptr)
        {
            memory.deallocate(store);
            throw std::bad_alloc();
        }
        store->ownsItems = 1;
        store->count = 0;
        store->capacity = kInitialCapacity;
        store->items = slots;
        store->memory = memory;
        return store;
    }

    static void Destroy(ValueStore* store) noexcept
    {
        if (store == nullptr)
            return;
        if (store->ownsItems)
        {
            for (uint32_t i = 0; i < store->count; ++i)
                store->items[i].~Item();
        }
        const MemoryFunctions memory = store->memory;
        memory.deallocate(store->items);
        memory.deallocate(store);
    }

    // On failure (memory, or no larger count representable) the store is left as it was.
    Item& Append(Item&& item)
    {
        if (count == capacity)
            Grow();
        Item* slot = new (static_cast<void*>(items + count)) Item(std::move(item));
        ++count;
        return *slot;
    }

private:
    void Grow()
    {
        constexpr uint32_t kMostSlots =
            static_cast<uint32_t>(std::numeric_limits<size_t>::max() / sizeof(Item) <
                                          std::numeric_limits<uint32_t>::max()
                                      ? std::numeric_limits<size_t>::max() / sizeof(Item)
                                      : std::numeric_limits<uint32_t>::max());
        uint32_t larger = capacity <= kMostSlots / 2 ? capacity * 2 : kMostSlots;
        if (larger <= capacity)
            throw std::bad_alloc();
        void* moved = memory.reallocate(static_cast<void*>(items), static_cast<size_t>(larger) * sizeof(Item));
        if (moved == nullptr)
            throw std::bad_alloc();
        items = static_cast<Item*>(moved);
        capacity = larger;
    }
};

} // namespace qv
