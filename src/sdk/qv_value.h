#pragma once
#include <cstdint>
#include <utility>

#include "sdk/qv_string.h"
#include "sdk/value_exception.h"

namespace Json {
class Value;
}

namespace qv {

// The SDK's dynamically typed value: null, number, bool, string, array or dictionary.
// One pointer to a heap node; a null pointer is the null value. Type mismatches throw
// ValueException with a message naming the offending value.
class Value
{
public:
    class BaseValue;
    class NumberValue;
    class BoolValue;
    class StringValue;
    class ArrayValue;
    class DictValue;
    class KeyPosition;

    enum Type : int
    {
        kNull = 0,
        kNumber = 1,
        kBool = 2,
        kString = 3,
        kArray = 4,
        kDict = 5,
    };

    Value() noexcept = default;
    Value(bool flag);
    Value(double number);
    Value(int number);
    Value(unsigned int number);
    Value(const wchar_t* text);
    Value(const WString& text);
    // A narrow literal would otherwise quietly become a bool.
    Value(const char*) = delete;

    // Empty containers, which the mutators cannot otherwise make.
    static Value NewArray();
    static Value NewDict();

    Value(const Value& other);
    Value(Value&& other) noexcept;
    ~Value();

    // Both give the strong guarantee and accept a source that lives inside this value.
    Value& operator=(const Value& other);
    Value& operator=(Value&& other) noexcept;

    int GetType() const noexcept;
    const wchar_t* TypeName() const noexcept;
    static const wchar_t* TypeName(int type) noexcept;
    bool IsNull() const noexcept { return node_ == nullptr; }
    bool IsTrue() const noexcept;

    double AsNumber() const;
    // Truncated toward zero; NaN and numbers outside the 32-bit range give INT32_MIN.
    int32_t AsInt() const;
    const WString& AsString() const;

    // Elements of an array or entries of a dictionary.
    uint32_t Size() const;

    // An index at or beyond Size throws as well.
    Value& At(uint32_t index);
    const Value& At(uint32_t index) const;

    Value& Get(const wchar_t* key);
    const Value& Get(const wchar_t* key) const;
    bool HasKey(const wchar_t* key) const;
    // Creates a null entry at the end when the key is absent; null becomes an empty dictionary.
    Value& operator[](const wchar_t* key);
    // A literal 0 would otherwise be taken for a null key.
    Value& operator[](int) = delete;

    // Null becomes an empty array. The returned reference lives until the array grows.
    Value& Append(Value value);

    void SetString(const wchar_t* text);
    void SetBool(bool flag);
    void SetNumber(double number);

    // (dictionary, 0) and (dictionary, Size): walks the entries in insertion order.
    std::pair<KeyPosition, KeyPosition> Keys() const;

    // Dictionary keys sorted by code unit, nothing escaped; used in every exception message.
    WString ToString() const;

    // Defined in value_json.cpp; include "sdk/value_json.h" to call them.
    static Value FromJson(const Json::Value& json);
    Json::Value ToJson() const;

    // The node itself, for the SDK's node-level code (value_nodes.h); null for the null value.
    const BaseValue* Node() const noexcept { return node_; }

private:
    friend class KeyPosition;

    explicit Value(BaseValue* node) noexcept : node_(node) {}

    static void ReleaseTree(BaseValue* root) noexcept;
    static BaseValue* CloneTree(const BaseValue* root);
    static BaseValue* CloneShallow(const BaseValue* source);
    static uint32_t FindKey(const DictValue& dict, const wchar_t* key) noexcept;

    [[noreturn]] void ThrowTypeError(const wchar_t* format) const;
    [[noreturn]] void ThrowKeyedTypeError(const wchar_t* key) const;

    DictValue& Dict() const noexcept;
    ArrayValue& Array() const noexcept;

    BaseValue* node_ = nullptr;
};

static_assert(sizeof(Value) == sizeof(void*), "a value is one pointer to its node");

class Value::KeyPosition
{
public:
    KeyPosition(const Value* dict, uint32_t index) noexcept : dict_(dict), index_(index) {}

    const WString& Key() const noexcept;
    const Value& Entry() const noexcept;
    uint32_t Index() const noexcept { return index_; }

    KeyPosition& operator++() noexcept
    {
        ++index_;
        return *this;
    }
    friend bool operator==(const KeyPosition& a, const KeyPosition& b) noexcept
    {
        return a.dict_ == b.dict_ && a.index_ == b.index_;
    }
    friend bool operator!=(const KeyPosition& a, const KeyPosition& b) noexcept { return !(a == b); }

private:
    const Value* dict_;
    uint32_t index_;
};

} // namespace qv
