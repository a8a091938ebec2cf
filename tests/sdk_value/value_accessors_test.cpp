#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>

#include "sdk_value/value_builders.h"

namespace {

using qv::Value;
using value_test::Arr;
using value_test::Dict;
using value_test::Text;

struct MessageCase
{
    const char* name;
    std::function<Value()> make;
    std::function<void(Value&)> operation;
    const char* expected; // UTF-8
};

const MessageCase kMessageCases[] = {
    {"AsNumberOnString", [] { return Value(L"abc"); }, [](Value& v) { v.AsNumber(); },
     "exception: invalid type [number != string], [abc]"},
    {"AsNumberOnNull", [] { return Value(); }, [](Value& v) { v.AsNumber(); },
     "exception: invalid type [number != null], [null]"},
    {"AsIntOnTrue", [] { return Value(true); }, [](Value& v) { v.AsInt(); },
     "exception: invalid type [number != 2], [true]"},
    {"AsIntOnFalse", [] { return Value(false); }, [](Value& v) { v.AsInt(); },
     "exception: invalid type [number != 2], [false]"},
    {"AsIntOnArray", [] { return Arr({Value(1), Value(L"x")}); }, [](Value& v) { v.AsInt(); },
     "exception: invalid type [number != 4], [[ 1, \"x\" ]]"},
    {"AsStringOnNumber", [] { return Value(1.5); }, [](Value& v) { v.AsString(); },
     "exception: invalid type [string != number], [1.5]"},
    {"AsStringOnNestedDict",
     [] { return Dict({{L"b", Arr({Value(1), Value(L"two"), Value()})}, {L"a", Dict({{L"c", Value(false)}})}}); },
     [](Value& v) { v.AsString(); },
     "exception: invalid type [string != object], [{ \"a\" : { \"c\" : false }, \"b\" : [ 1, \"two\", null ] }]"},
    {"SizeOnNull", [] { return Value(); }, [](Value& v) { v.Size(); },
     "exception: invalid type[array|dict != null], [null]"},
    {"SizeOnString", [] { return Value(L"s"); }, [](Value& v) { v.Size(); },
     "exception: invalid type[array|dict != string], [s]"},
    {"AtOnDict", [] { return Dict({{L"a", Value(1)}}); }, [](Value& v) { v.At(0); },
     "exception: invalid type [array != object], [{ \"a\" : 1 }]"},
    {"AtOnNull", [] { return Value(); }, [](Value& v) { v.At(0); },
     "exception: invalid type [array != null], [null]"},
    {"AtBeyondSize", [] { return Arr({Value(true)}); }, [](Value& v) { v.At(1); },
     "exception: index out of range [1], [[ true ]]"},
    {"GetAbsentKey", [] { return Value::NewDict(); }, [](Value& v) { v.Get(L"x"); },
     "exception: key not found [x], [{  }]"},
    {"GetOnArray", [] { return Value::NewArray(); }, [](Value& v) { v.Get(L"x"); },
     "exception: invalid type [dict != array] for [key x], [[  ]]"},
    {"GetOnNull", [] { return Value(); }, [](Value& v) { v.Get(L"x"); },
     "exception: invalid type [dict != null] for [key x], [null]"},
    {"GetIsCaseSensitive", [] { return Dict({{L"Key", Value(1)}}); }, [](Value& v) { v.Get(L"key"); },
     "exception: key not found [key], [{ \"Key\" : 1 }]"},
    {"GetNonAsciiKey", [] { return Dict({{L"\u00e4", Value(L"\u00f6")}}); }, [](Value& v) { v.Get(L"cl\u00e9"); },
     "exception: key not found [cl\xc3\xa9], [{ \"\xc3\xa4\" : \"\xc3\xb6\" }]"},
    {"HasKeyOnNull", [] { return Value(); }, [](Value& v) { v.HasKey(L"k"); },
     "exception: invalid type [dict != null] for [key k], [null]"},
    {"HasKeyOnString", [] { return Value(L"text"); }, [](Value& v) { v.HasKey(L"k"); },
     "exception: invalid type [dict != string] for [key k], [text]"},
    {"IndexOnNumber", [] { return Value(7); }, [](Value& v) { v[L"k"]; },
     "exception: invalid type [dict != number] for [key k], [7]"},
    {"IndexOnArray", [] { return Arr({Value()}); }, [](Value& v) { v[L"k"]; },
     "exception: invalid type [dict != array] for [key k], [[ null ]]"},
    {"AppendOnBool", [] { return Value(false); }, [](Value& v) { v.Append(Value(1)); },
     "exception: invalid type [array != bool], [false]"},
    {"AppendOnDict", [] { return Value::NewDict(); }, [](Value& v) { v.Append(Value(1)); },
     "exception: invalid type [array != object], [{  }]"},
    {"SetStringOnNumber", [] { return Value(1); }, [](Value& v) { v.SetString(L"x"); },
     "exception: invalid type [string != number], [1]"},
    {"SetBoolOnString", [] { return Value(L"yes"); }, [](Value& v) { v.SetBool(true); },
     "exception: invalid type [bool != string], [yes]"},
    {"SetBoolOnNumber", [] { return Value(0); }, [](Value& v) { v.SetBool(true); },
     "exception: invalid type [bool != number], [0]"},
    {"SetNumberOnArray", [] { return Arr({Value(true)}); }, [](Value& v) { v.SetNumber(2); },
     "exception: invalid type [number != array], [[ true ]]"},
    {"SetNumberOnBool", [] { return Value(true); }, [](Value& v) { v.SetNumber(2); },
     "exception: invalid type [number != bool], [true]"},
    {"KeysOnArray", [] { return Value::NewArray(); }, [](Value& v) { v.Keys(); },
     "exception: invalid type [dict != array], [[  ]]"},
    {"KeysOnNull", [] { return Value(); }, [](Value& v) { v.Keys(); },
     "exception: invalid type [dict != null], [null]"},
};

class ValueMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(ValueMessages, ThrowsExactTextAndChangesNothing)
{
    const MessageCase& c = GetParam();
    Value value = c.make();
    const std::string before = Text(value);
    try
    {
        c.operation(value);
        FAIL() << "no exception";
    }
    catch (const qv::ValueException& e)
    {
        EXPECT_STREQ(e.what(), c.expected);
    }
    EXPECT_EQ(Text(value), before);
}

INSTANTIATE_TEST_SUITE_P(Table, ValueMessages, ::testing::ValuesIn(kMessageCases),
                         [](const ::testing::TestParamInfo<MessageCase>& info) { return info.param.name; });

TEST(ValueMessages, IsARuntimeError)
{
    try
    {
        Value(L"abc").AsNumber();
        FAIL() << "no exception";
    }
    catch (const std::runtime_error& e)
    {
        EXPECT_STREQ(e.what(), "exception: invalid type [number != string], [abc]");
    }
}

// The offending value's whole text goes into the message, however long.
TEST(ValueMessages, CarriesAHugeValueWhole)
{
    const std::wstring big(1 << 20, L'\u00e9');
    try
    {
        Value(big.c_str()).AsNumber();
        FAIL() << "no exception";
    }
    catch (const qv::ValueException& e)
    {
        const std::string prefix = "exception: invalid type [number != string], [";
        const std::string what = e.what();
        ASSERT_EQ(what.size(), prefix.size() + 2 * big.size() + 1);
        EXPECT_EQ(what.compare(0, prefix.size(), prefix), 0);
        EXPECT_EQ(what.compare(prefix.size(), 2, "\xc3\xa9"), 0);
        EXPECT_EQ(what.back(), ']');
    }
}

TEST(ValueTypes, CodesAndNames)
{
    const struct
    {
        Value value;
        int code;
        const wchar_t* name;
    } cases[] = {
        {Value(), 0, L"null"},          {Value(1.0), 1, L"number"},         {Value(true), 2, L"bool"},
        {Value(L""), 3, L"string"},     {Value::NewArray(), 4, L"array"}, {Value::NewDict(), 5, L"object"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(c.value.GetType(), c.code);
        EXPECT_STREQ(c.value.TypeName(), c.name);
    }
    EXPECT_STREQ(Value::TypeName(6), L"unknown");
    EXPECT_STREQ(Value::TypeName(-1), L"unknown");
}

TEST(ValueTypes, IsTrue)
{
    const struct
    {
        const char* what;
        Value value;
        bool expected;
    } cases[] = {
        {"null", Value(), false},
        {"false", Value(false), false},
        {"true", Value(true), true},
        {"zero", Value(0.0), false},
        {"minus zero", Value(-0.0), false},
        {"tiny", Value(1e-300), true},
        {"NaN", Value(std::numeric_limits<double>::quiet_NaN()), true},
        {"empty string", Value(L""), false},
        {"string 0", Value(L"0"), true},
        {"empty array", Value::NewArray(), false},
        {"array of null", Arr({Value()}), true},
        {"empty dict", Value::NewDict(), false},
        {"dict with a null entry", Dict({{L"k", Value()}}), true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value.IsTrue(), c.expected) << c.what;
}

TEST(ValueNumbers, AsIntTruncatesTowardZeroAndMapsTheUnrepresentable)
{
    const struct
    {
        double number;
        int32_t expected;
    } cases[] = {
        {2.9, 2},
        {-2.9, -2},
        {2147483647.9, 2147483647},
        {-2147483648.9, INT32_MIN},
        {2147483648.0, INT32_MIN},
        {-2147483649.0, INT32_MIN},
        {3e9, INT32_MIN},
        {-1e300, INT32_MIN},
        {std::numeric_limits<double>::infinity(), INT32_MIN},
        {std::numeric_limits<double>::quiet_NaN(), INT32_MIN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Value(c.number).AsInt(), c.expected) << c.number;
}

TEST(ValueMutators, IndexOnNullMakesADictionaryWithOneNullEntry)
{
    Value value;
    Value& entry = value[L"a"];
    EXPECT_TRUE(entry.IsNull());
    ASSERT_EQ(value.GetType(), Value::kDict);
    EXPECT_EQ(value.Size(), 1u);
    EXPECT_TRUE(value.HasKey(L"a"));
    EXPECT_EQ(Text(value), "{ \"a\" : null }");
}

TEST(ValueMutators, AppendOnNullMakesAOneElementArray)
{
    Value value;
    value.Append(Value(L"x"));
    ASSERT_EQ(value.GetType(), Value::kArray);
    EXPECT_EQ(value.Size(), 1u);
    EXPECT_EQ(Text(value), "[ \"x\" ]");
}

TEST(ValueMutators, IndexFindsAnExistingKeyInsteadOfAddingOne)
{
    Value dict;
    dict[L"b"] = 1;
    dict[L"a"] = 2;
    dict[L"b"] = 3;
    EXPECT_EQ(dict.Size(), 2u);
    EXPECT_EQ(dict.Get(L"b").AsNumber(), 3.0);
    // A null key is the empty one.
    dict[nullptr] = true;
    EXPECT_TRUE(dict.Get(L"").IsTrue());
    EXPECT_TRUE(dict.HasKey(nullptr));
    EXPECT_EQ(dict.Size(), 3u);
}

TEST(ValueMutators, SettersFillNullAndOverwriteTheirOwnType)
{
    Value text;
    text.SetString(L"one");
    text.SetString(L"two");
    EXPECT_EQ(Text(text), "two");
    // Its own characters as the source.
    text.SetString(text.AsString().c_str());
    EXPECT_EQ(Text(text), "two");

    Value flag;
    flag.SetBool(true);
    flag.SetBool(false);
    EXPECT_EQ(flag.GetType(), Value::kBool);
    EXPECT_FALSE(flag.IsTrue());

    Value number;
    number.SetNumber(1);
    number.SetNumber(-4.5);
    EXPECT_EQ(number.AsNumber(), -4.5);
}

TEST(ValueMutators, KeysWalkEntriesInInsertionOrder)
{
    Value dict;
    dict[L"zeta"] = 1;
    dict[L"alpha"] = L"x";
    dict[L"mid"] = Value();
    const auto keys = dict.Keys();
    EXPECT_EQ(keys.first.Index(), 0u);
    EXPECT_EQ(keys.second.Index(), 3u);
    std::wstring walked;
    for (auto position = keys.first; position != keys.second; ++position)
        walked += std::wstring(position.Key().c_str()) + L"=" + position.Entry().ToString().c_str() + L";";
    EXPECT_EQ(walked, L"zeta=1;alpha=x;mid=null;");

    const auto none = Value::NewDict().Keys();
    EXPECT_EQ(none.first, none.second);
}

TEST(ValueMutators, AppendCopiesAnElementOfTheSameArrayWhileItGrows)
{
    Value array = Value::NewArray();
    array.Append(Value(L"first element, longer than the rest"));
    for (int i = 1; i < 8; ++i)
        array.Append(Value(i));
    // The ninth element moves the slots; the source is one of them.
    array.Append(array.At(0));
    array.Append(array);
    ASSERT_EQ(array.Size(), 10u);
    EXPECT_EQ(Text(array.At(8)), "first element, longer than the rest");
    EXPECT_EQ(array.At(9).Size(), 9u);
    EXPECT_EQ(Text(array.At(9).At(8)), "first element, longer than the rest");
}

TEST(ValueMutators, AssigningFromInsideTheSameTree)
{
    Value tree = Dict({{L"inner", Dict({{L"leaf", Value(L"kept")}})}, {L"other", Value(1)}});
    tree = tree.Get(L"inner");
    EXPECT_EQ(Text(tree), "{ \"leaf\" : \"kept\" }");

    Value moved = Dict({{L"inner", Arr({Value(1), Value(2)})}});
    moved = std::move(moved[L"inner"]);
    EXPECT_EQ(Text(moved), "[ 1, 2 ]");

    Value self = Arr({Value(L"x")});
    const Value& alias = self;
    self = alias;
    EXPECT_EQ(Text(self), "[ \"x\" ]");

    Value nested = Dict({{L"a", Value(1)}});
    nested[L"copy"] = nested;
    EXPECT_EQ(Text(nested), "{ \"a\" : 1, \"copy\" : { \"a\" : 1, \"copy\" : null } }");
}

TEST(ValueMutators, ConstructionAndAssignmentFromScalars)
{
    Value value = true;
    EXPECT_EQ(value.GetType(), Value::kBool);
    value = 2.5;
    EXPECT_EQ(value.AsNumber(), 2.5);
    value = 3;
    EXPECT_EQ(value.AsNumber(), 3.0);
    value = 4000000000u;
    EXPECT_EQ(value.AsNumber(), 4e9);
    value = L"text";
    EXPECT_EQ(Text(value), "text");
    value = qv::WString(L"wide");
    EXPECT_EQ(Text(value), "wide");
    value = static_cast<const wchar_t*>(nullptr);
    EXPECT_EQ(value.GetType(), Value::kString);
    EXPECT_EQ(value.AsString().GetLength(), 0u);
    value = Value();
    EXPECT_TRUE(value.IsNull());
}

} // namespace
