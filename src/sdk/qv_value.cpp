#include "sdk/qv_value.h"

#include <cwchar>
#include <vector>

#include "sdk/value_nodes.h"

namespace qv {

using value_detail::ChildStore;
using value_detail::MakeNode;

namespace {

constexpr uint32_t kNotFound = UINT32_MAX;

const wchar_t* KeyText(const wchar_t* key) noexcept { return key ? key : L""; }

} // namespace

Value::Value(bool flag) : node_(MakeNode<BoolValue>(flag)) {}
Value::Value(double number) : node_(MakeNode<NumberValue>(number)) {}
Value::Value(int number) : node_(MakeNode<NumberValue>(static_cast<double>(number))) {}
Value::Value(unsigned int number) : node_(MakeNode<NumberValue>(static_cast<double>(number))) {}
Value::Value(const wchar_t* text) : node_(MakeNode<StringValue>(text)) {}
Value::Value(const WString& text) : node_(MakeNode<StringValue>(text.c_str())) {}

Value Value::NewArray() { return Value(MakeNode<ArrayValue>()); }
Value Value::NewDict() { return Value(MakeNode<DictValue>()); }

Value::Value(const Value& other) : node_(CloneTree(other.node_)) {}

Value::Value(Value&& other) noexcept : node_(std::exchange(other.node_, nullptr)) {}

Value::~Value() { ReleaseTree(node_); }

Value& Value::operator=(const Value& other)
{
    if (this != &other)
    {
        // Copy first: the source may be part of the tree about to be released.
        BaseValue* copy = CloneTree(other.node_);
        ReleaseTree(std::exchange(node_, copy));
    }
    return *this;
}

Value& Value::operator=(Value&& other) noexcept
{
    if (this != &other)
    {
        BaseValue* taken = std::exchange(other.node_, nullptr);
        ReleaseTree(std::exchange(node_, taken));
    }
    return *this;
}

// Iterative, so that no nesting depth can exhaust the stack, and allocation-free, so that it
// cannot fail. The last slot of each container on the way down holds the link back up.
void Value::ReleaseTree(BaseValue* root) noexcept
{
    BaseValue* node = root;
    BaseValue* parent = nullptr;
    while (node != nullptr)
    {
        ValueStore<Value>* children = ChildStore(node);
        if (children != nullptr && children->count > 0)
        {
            Value& last = children->items[children->count - 1];
            BaseValue* child = last.node_;
            if (child == nullptr || ChildStore(child) == nullptr)
            {
                if (child != nullptr)
                    child->DeletingDestructor(BaseValue::kFreeNode);
                last.node_ = nullptr;
                --children->count;
                continue;
            }
            last.node_ = parent;
            parent = node;
            node = child;
            continue;
        }
        node->DeletingDestructor(BaseValue::kFreeNode);
        if (parent == nullptr)
            return;
        ValueStore<Value>* up = ChildStore(parent);
        Value& link = up->items[up->count - 1];
        node = parent;
        parent = link.node_;
        link.node_ = nullptr;
        --up->count;
    }
}

// A node with the same scalar payload, or a container with one null slot per child.
Value::BaseValue* Value::CloneShallow(const BaseValue* source)
{
    switch (source->GetType())
    {
    case kNumber:
        return MakeNode<NumberValue>(static_cast<const NumberValue*>(source)->number);
    case kBool:
        return MakeNode<BoolValue>(static_cast<const BoolValue*>(source)->flag != 0);
    case kString:
        return MakeNode<StringValue>(static_cast<const StringValue*>(source)->text.c_str());
    case kArray:
    {
        const ValueStore<Value>* from = static_cast<const ArrayValue*>(source)->items;
        Value array(MakeNode<ArrayValue>());
        for (uint32_t i = 0; i < from->count; ++i)
            array.Array().items->Append(Value());
        return std::exchange(array.node_, nullptr);
    }
    case kDict:
    {
        const ValueStore<WString>* from = static_cast<const DictValue*>(source)->keys;
        Value dict(MakeNode<DictValue>());
        for (uint32_t i = 0; i < from->count; ++i)
        {
            dict.Dict().keys->Append(WString(from->items[i]));
            dict.Dict().values->Append(Value());
        }
        return std::exchange(dict.node_, nullptr);
    }
    default:
        return nullptr;
    }
}

// Iterative like ReleaseTree. Every container is created with all its slots before any slot
// address is taken, so the addresses stay valid; a failure releases the partial copy.
Value::BaseValue* Value::CloneTree(const BaseValue* root)
{
    if (root == nullptr)
        return nullptr;
    struct Pending
    {
        const BaseValue* source;
        Value* target;
    };
    Value copy;
    std::vector<Pending> pending;
    pending.push_back({root, &copy});
    while (!pending.empty())
    {
        const Pending next = pending.back();
        pending.pop_back();
        next.target->node_ = CloneShallow(next.source);
        ValueStore<Value>* from = ChildStore(const_cast<BaseValue*>(next.source));
        if (from == nullptr)
            continue;
        ValueStore<Value>* to = ChildStore(next.target->node_);
        for (uint32_t i = 0; i < from->count; ++i)
        {
            if (from->items[i].node_ != nullptr)
                pending.push_back({from->items[i].node_, &to->items[i]});
        }
    }
    return std::exchange(copy.node_, nullptr);
}

int Value::GetType() const noexcept { return node_ ? node_->GetType() : kNull; }

const wchar_t* Value::TypeName() const noexcept { return TypeName(GetType()); }

const wchar_t* Value::TypeName(int type) noexcept
{
    switch (type)
    {
    case kNull:
        return L"null";
    case kNumber:
        return L"number";
    case kBool:
        return L"bool";
    case kString:
        return L"string";
    case kArray:
        return L"array";
    case kDict:
        return L"object";
    default:
        return L"unknown";
    }
}

bool Value::IsTrue() const noexcept
{
    switch (GetType())
    {
    case kBool:
        return static_cast<const BoolValue*>(node_)->flag != 0;
    case kNumber:
        return static_cast<const NumberValue*>(node_)->number != 0;
    case kString:
        return !static_cast<const StringValue*>(node_)->text.IsEmpty();
    case kArray:
    case kDict:
        return ChildStore(node_)->count != 0;
    default:
        return false;
    }
}

void Value::ThrowTypeError(const wchar_t* format) const
{
    throw ValueException(WString::Format(format, TypeName(), ToString().c_str()));
}

void Value::ThrowKeyedTypeError(const wchar_t* key) const
{
    throw ValueException(WString::Format(L"exception: invalid type [dict != %s] for [key %s], [%s]", TypeName(),
                                         KeyText(key), ToString().c_str()));
}

Value::DictValue& Value::Dict() const noexcept { return *static_cast<DictValue*>(node_); }
Value::ArrayValue& Value::Array() const noexcept { return *static_cast<ArrayValue*>(node_); }

double Value::AsNumber() const
{
    if (GetType() != kNumber)
        ThrowTypeError(L"exception: invalid type [number != %s], [%s]");
    return static_cast<const NumberValue*>(node_)->number;
}

int32_t Value::AsInt() const
{
    if (GetType() != kNumber)
        throw ValueException(
            WString::Format(L"exception: invalid type [number != %d], [%s]", GetType(), ToString().c_str()));
    const double number = static_cast<const NumberValue*>(node_)->number;
    // The x86 conversion's answer for what does not fit, without its undefined behaviour.
    if (!(number > -2147483649.0 && number < 2147483648.0))
        return INT32_MIN;
    return static_cast<int32_t>(number);
}

const WString& Value::AsString() const
{
    if (GetType() != kString)
        ThrowTypeError(L"exception: invalid type [string != %s], [%s]");
    return static_cast<const StringValue*>(node_)->text;
}

uint32_t Value::Size() const
{
    const int type = GetType();
    if (type != kArray && type != kDict)
        ThrowTypeError(L"exception: invalid type[array|dict != %s], [%s]");
    return ChildStore(node_)->count;
}

Value& Value::At(uint32_t index)
{
    return const_cast<Value&>(static_cast<const Value*>(this)->At(index));
}

const Value& Value::At(uint32_t index) const
{
    if (GetType() != kArray)
        ThrowTypeError(L"exception: invalid type [array != %s], [%s]");
    const ValueStore<Value>* items = Array().items;
    if (index >= items->count)
        throw ValueException(
            WString::Format(L"exception: index out of range [%u], [%s]", index, ToString().c_str()));
    return items->items[index];
}

uint32_t Value::FindKey(const DictValue& dict, const wchar_t* key) noexcept
{
    const wchar_t* wanted = KeyText(key);
    for (uint32_t i = 0; i < dict.keys->count; ++i)
    {
        if (std::wcscmp(dict.keys->items[i].c_str(), wanted) == 0)
            return i;
    }
    return kNotFound;
}

Value& Value::Get(const wchar_t* key) { return const_cast<Value&>(static_cast<const Value*>(this)->Get(key)); }

const Value& Value::Get(const wchar_t* key) const
{
    if (GetType() != kDict)
        ThrowKeyedTypeError(key);
    const uint32_t index = FindKey(Dict(), key);
    if (index == kNotFound)
        throw ValueException(
            WString::Format(L"exception: key not found [%s], [%s]", KeyText(key), ToString().c_str()));
    return Dict().values->items[index];
}

bool Value::HasKey(const wchar_t* key) const
{
    if (GetType() != kDict)
        ThrowKeyedTypeError(key);
    return FindKey(Dict(), key) != kNotFound;
}

Value& Value::operator[](const wchar_t* key)
{
    const int type = GetType();
    if (type != kNull && type != kDict)
        ThrowKeyedTypeError(key);
    if (type == kDict)
    {
        const uint32_t index = FindKey(Dict(), key);
        if (index != kNotFound)
            return Dict().values->items[index];
    }
    // Build the entry aside so that a failure leaves this value as it was.
    Value grown;
    DictValue* dict = type == kDict ? &Dict() : MakeNode<DictValue>();
    if (type == kNull)
        grown.node_ = dict;
    dict->keys->Append(WString(KeyText(key)));
    try
    {
        Value& entry = dict->values->Append(Value());
        if (type == kNull)
            node_ = std::exchange(grown.node_, nullptr);
        return entry;
    }
    catch (...)
    {
        --dict->keys->count;
        dict->keys->items[dict->keys->count].~WString();
        throw;
    }
}

Value& Value::Append(Value value)
{
    const int type = GetType();
    if (type != kNull && type != kArray)
        ThrowTypeError(L"exception: invalid type [array != %s], [%s]");
    if (type == kArray)
        return Array().items->Append(std::move(value));
    Value grown(MakeNode<ArrayValue>());
    Value& element = static_cast<ArrayValue*>(grown.node_)->items->Append(std::move(value));
    node_ = std::exchange(grown.node_, nullptr);
    return element;
}

void Value::SetString(const wchar_t* text)
{
    const int type = GetType();
    if (type == kString)
        static_cast<StringValue*>(node_)->text = WString(text);
    else if (type == kNull)
        node_ = MakeNode<StringValue>(text);
    else
        ThrowTypeError(L"exception: invalid type [string != %s], [%s]");
}

void Value::SetBool(bool flag)
{
    const int type = GetType();
    if (type == kBool)
        static_cast<BoolValue*>(node_)->flag = flag ? 1 : 0;
    else if (type == kNull)
        node_ = MakeNode<BoolValue>(flag);
    else
        ThrowTypeError(L"exception: invalid type [bool != %s], [%s]");
}

void Value::SetNumber(double number)
{
    const int type = GetType();
    if (type == kNumber)
        static_cast<NumberValue*>(node_)->number = number;
    else if (type == kNull)
        node_ = MakeNode<NumberValue>(number);
    else
        ThrowTypeError(L"exception: invalid type [number != %s], [%s]");
}

std::pair<Value::KeyPosition, Value::KeyPosition> Value::Keys() const
{
    if (GetType() != kDict)
        ThrowTypeError(L"exception: invalid type [dict != %s], [%s]");
    return {KeyPosition(this, 0), KeyPosition(this, Dict().keys->count)};
}

const WString& Value::KeyPosition::Key() const noexcept { return dict_->Dict().keys->items[index_]; }

const Value& Value::KeyPosition::Entry() const noexcept { return dict_->Dict().values->items[index_]; }

} // namespace qv
