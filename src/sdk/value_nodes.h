#pragma once
#include <new>
#include <utility>

#include "sdk/qv_value.h"
#include "sdk/value_store.h"

namespace qv {

// The node behind a non-null value. The host's compiler gives a virtual destructor a single
// slot taking flags; slot 0 is declared that way so the table is the same in both builds.
class Value::BaseValue
{
public:
    static constexpr unsigned int kFreeNode = 1;

    // Runs the destructor; with kFreeNode also gives the node back to the heap that made it.
    virtual void* DeletingDestructor(unsigned int flags) = 0;
    virtual int GetType() const = 0;

    MemoryFunctions memory;

    BaseValue(const BaseValue&) = delete;
    BaseValue& operator=(const BaseValue&) = delete;

protected:
    explicit BaseValue(const MemoryFunctions& heap) noexcept : memory(heap) {}
    ~BaseValue() = default;
};

namespace value_detail {

template <typename Node, int kTypeCode>
class TypedNode : public Value::BaseValue
{
public:
    void* DeletingDestructor(unsigned int flags) final
    {
        void (*deallocate)(void*) = memory.deallocate;
        Node* self = static_cast<Node*>(this);
        self->~Node();
        if (flags & kFreeNode)
            deallocate(self);
        return self;
    }
    int GetType() const final { return kTypeCode; }

protected:
    using BaseValue::BaseValue;
    ~TypedNode() = default;
};

} // namespace value_detail

class Value::NumberValue final : public value_detail::TypedNode<NumberValue, Value::kNumber>
{
public:
    NumberValue(const MemoryFunctions& heap, double value) noexcept : TypedNode(heap), number(value) {}
    double number;
};

class Value::BoolValue final : public value_detail::TypedNode<BoolValue, Value::kBool>
{
public:
    BoolValue(const MemoryFunctions& heap, bool value) noexcept : TypedNode(heap), flag(value ? 1 : 0) {}
    uint8_t flag;
};

class Value::StringValue final : public value_detail::TypedNode<StringValue, Value::kString>
{
public:
    // The string starts with room for 64 characters, like every string the SDK makes from text.
    StringValue(const MemoryFunctions& heap, const wchar_t* value) : TypedNode(heap), text(value) {}
    WString text;
};

class Value::ArrayValue final : public value_detail::TypedNode<ArrayValue, Value::kArray>
{
public:
    explicit ArrayValue(const MemoryFunctions& heap) : TypedNode(heap), items(ValueStore<Value>::Create(heap)) {}
    ~ArrayValue() { ValueStore<Value>::Destroy(items); }
    ValueStore<Value>* items;
};

class Value::DictValue final : public value_detail::TypedNode<DictValue, Value::kDict>
{
public:
    explicit DictValue(const MemoryFunctions& heap)
        : TypedNode(heap), keys(ValueStore<WString>::Create(heap)), values(CreateValues(heap, keys))
    {
    }
    ~DictValue()
    {
        ValueStore<Value>::Destroy(values);
        ValueStore<WString>::Destroy(keys);
    }
    // keys->items[i] names values->items[i].
    ValueStore<WString>* keys;
    ValueStore<Value>* values;

private:
    static ValueStore<Value>* CreateValues(const MemoryFunctions& heap, ValueStore<WString>* keys)
    {
        try
        {
            return ValueStore<Value>::Create(heap);
        }
        catch (...)
        {
            ValueStore<WString>::Destroy(keys);
            throw;
        }
    }
};

namespace value_detail {

// Nodes come from the runtime heap and go back to it through DeletingDestructor.
template <typename Node, typename... Args>
Node* MakeNode(Args&&... args)
{
    const MemoryFunctions heap = RuntimeMemory();
    void* block = heap.allocate(sizeof(Node));
    if (block == nullptr)
        throw std::bad_alloc();
    try
    {
        return new (block) Node(heap, std::forward<Args>(args)...);
    }
    catch (...)
    {
        heap.deallocate(block);
        throw;
    }
}

// The values held by a container node, or null for a scalar.
inline ValueStore<Value>* ChildStore(Value::BaseValue* node) noexcept
{
    switch (node->GetType())
    {
    case Value::kArray:
        return static_cast<Value::ArrayValue*>(node)->items;
    case Value::kDict:
        return static_cast<Value::DictValue*>(node)->values;
    default:
        return nullptr;
    }
}

} // namespace value_detail

#if defined(__i386__)
static_assert(offsetof(ValueStore<Value>, ownsItems) == 0, "store layout");
static_assert(offsetof(ValueStore<Value>, count) == 4, "store layout");
static_assert(offsetof(ValueStore<Value>, capacity) == 8, "store layout");
static_assert(offsetof(ValueStore<Value>, items) == 12, "store layout");
static_assert(offsetof(ValueStore<Value>, memory) == 16, "store layout");
static_assert(sizeof(ValueStore<Value>) == 28, "store layout");
#endif

} // namespace qv
