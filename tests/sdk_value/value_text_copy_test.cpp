#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "sdk_value/value_builders.h"

namespace {

using qv::Value;
using value_test::Arr;
using value_test::Dict;
using value_test::Text;

std::wstring WideText(const Value& value) { return value.ToString().c_str(); }

std::wstring KeyOrder(const Value& dict)
{
    std::wstring order;
    const auto keys = dict.Keys();
    for (auto position = keys.first; position != keys.second; ++position)
        order += position.Key().c_str();
    return order;
}

TEST(ValueText, Forms)
{
    const struct
    {
        Value value;
        const wchar_t* expected;
    } cases[] = {
        {Value(), L"null"},
        {Value(true), L"true"},
        {Value(false), L"false"},
        {Value(L"plain \"quoted\" \\ text"), L"plain \"quoted\" \\ text"},
        {Value::NewArray(), L"[  ]"},
        {Value::NewDict(), L"{  }"},
        {Arr({Value(L"s"), Value(1), Value(true), Value(), Value::NewArray(), Value::NewDict()}),
         L"[ \"s\", 1, true, null, [  ], {  } ]"},
        {Dict({{L"k", Value(L"v")}, {L"n", Value()}}), L"{ \"k\" : \"v\", \"n\" : null }"},
        {Arr({Arr({Arr({Value(L"deep")})})}), L"[ [ [ \"deep\" ] ] ]"},
        // Nothing is escaped, not even quotes or line breaks inside keys and strings.
        {Dict({{L"a\"b", Value(L"x\ny")}}), L"{ \"a\"b\" : \"x\ny\" }"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WideText(c.value), c.expected);
}

TEST(ValueText, NumbersAsADefaultStreamWritesThem)
{
    const struct
    {
        double number;
        const wchar_t* expected;
    } cases[] = {
        {3.0, L"3"},
        {-0.0, L"-0"},
        {2.5, L"2.5"},
        {0.1, L"0.1"},
        {1.0 / 3.0, L"0.333333"},
        {123456.0, L"123456"},
        {1234567.0, L"1.23457e+06"},
        {123456789.0, L"1.23457e+08"},
        {0.0001, L"0.0001"},
        {0.00001, L"1e-05"},
        {1e20, L"1e+20"},
        {-1.5e-300, L"-1.5e-300"},
        {std::numeric_limits<double>::infinity(), L"inf"},
        {-std::numeric_limits<double>::infinity(), L"-inf"},
        {std::numeric_limits<double>::quiet_NaN(), L"nan"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WideText(Value(c.number)), c.expected) << c.number;
}

TEST(ValueText, KeysSortedByCodeUnit)
{
    // Upper case before lower case, U+00E9 after 'z', a surrogate pair (U+1F600) before U+FF01.
    Value dict = Dict({{L"\uff01", Value(5)},
                       {L"\U0001F600", Value(4)},
                       {L"\u00e9", Value(3)},
                       {L"b", Value(2)},
                       {L"B", Value(1)},
                       {L"", Value(0)}});
    EXPECT_EQ(WideText(dict), L"{ \"\" : 0, \"B\" : 1, \"b\" : 2, \"\u00e9\" : 3, \"\U0001F600\" : 4, \"\uff01\" : 5 }");
    EXPECT_EQ(KeyOrder(dict), L"\uff01\U0001F600\u00e9bB");
}

TEST(ValueCopy, KeepsInsertionOrderWhileTheTextFormSorts)
{
    Value dict;
    dict[L"b"] = 1;
    dict[L"a"] = 2;
    const Value copy = dict;
    Value assigned = Value(L"replaced");
    assigned = dict;
    EXPECT_EQ(KeyOrder(copy), L"ba");
    EXPECT_EQ(KeyOrder(assigned), L"ba");
    EXPECT_EQ(Text(copy), "{ \"a\" : 2, \"b\" : 1 }");
}

TEST(ValueCopy, IsDeepAndIndependent)
{
    Value original = Dict({{L"list", Arr({Value(L"x"), Dict({{L"flag", Value(true)}})})}, {L"n", Value(1)}});
    Value copy = original;
    copy[L"list"].At(1)[L"flag"].SetBool(false);
    copy[L"list"].At(0).SetString(L"changed");
    copy[L"n"].SetNumber(2);
    copy[L"added"] = Value();
    EXPECT_EQ(Text(original), "{ \"list\" : [ \"x\", { \"flag\" : true } ], \"n\" : 1 }");
    EXPECT_EQ(Text(copy), "{ \"added\" : null, \"list\" : [ \"changed\", { \"flag\" : false } ], \"n\" : 2 }");

    Value moved = std::move(copy);
    EXPECT_TRUE(copy.IsNull());
    EXPECT_EQ(moved.Size(), 3u);
}

// Far deeper than any stack would take recursively: building, copying, writing and
// releasing must all walk the tree without recursion.
TEST(ValueDepth, HundredThousandLevelsCopyWriteAndRelease)
{
    constexpr int kLevels = 100000;
    Value root;
    Value* level = &root;
    for (int i = 0; i < kLevels; ++i)
        level = (i % 2 == 0) ? &level->Append(Value()) : &(*level)[L"\u00fc"];
    *level = L"bottom";

    Value copy = root;
    const std::wstring text = WideText(copy);
    const std::wstring head = L"[ { \"\u00fc\" : [ { \"\u00fc\" : ";
    ASSERT_GT(text.size(), head.size());
    EXPECT_EQ(text.compare(0, head.size(), head), 0);
    EXPECT_NE(text.find(L": \"bottom\" } ]"), std::wstring::npos);
    EXPECT_EQ(text, WideText(root));

    root = Value();
    const Value* walk = &copy;
    int depth = 0;
    while (walk->GetType() == Value::kArray || walk->GetType() == Value::kDict)
    {
        walk = walk->GetType() == Value::kArray ? &walk->At(0) : &walk->Get(L"\u00fc");
        ++depth;
    }
    EXPECT_EQ(depth, kLevels);
    EXPECT_EQ(Text(*walk), "bottom");
}

TEST(ValueDepth, WideAndDeepTogether)
{
    Value root = Value::NewArray();
    for (int branch = 0; branch < 50; ++branch)
    {
        Value* level = &root.Append(Value());
        for (int i = 0; i < 2000; ++i)
        {
            level->Append(Value(i));
            level = &level->Append(Value());
        }
    }
    const Value copy = root;
    EXPECT_EQ(copy.Size(), 50u);
    EXPECT_EQ(copy.ToString().GetLength(), root.ToString().GetLength());
}

TEST(ValueStrings, HugeStringSurvivesCopyAndText)
{
    std::wstring big(8u << 20, L'x');
    big[0] = L'\u4e2d';
    big.back() = L'!';
    Value array = Arr({Value(big.c_str())});
    const Value copy = array;
    EXPECT_EQ(copy.At(0).AsString().GetLength(), big.size());
    const std::wstring text = WideText(copy);
    EXPECT_EQ(text, L"[ \"" + big + L"\" ]");
}

} // namespace
