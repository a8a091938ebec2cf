#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <sstream>
#include <string>

#include "sdk/value_json.h"
#include "sdk_value/value_builders.h"

namespace {

using qv::Value;
using value_test::Arr;
using value_test::Dict;
using value_test::Text;

struct NumberCase
{
    double number;
    Json::ValueType type;
};

TEST(ValueToJson, IntegralNumbersBecomeSigned64BitIntegers)
{
    const double inf = std::numeric_limits<double>::infinity();
    const NumberCase cases[] = {
        {3.0, Json::intValue},
        {-0.0, Json::intValue},
        {-7.0, Json::intValue},
        {2.5, Json::realValue},
        {-0.5, Json::realValue},
        {4503599627370497.0, Json::intValue},
        {-9223372036854775808.0, Json::intValue},
        // Outside the signed 64-bit range: kept as doubles rather than converted.
        {9223372036854775808.0, Json::realValue},
        {1e19, Json::realValue},
        {-1e19, Json::realValue},
        {1e300, Json::realValue},
        {inf, Json::realValue},
        {-inf, Json::realValue},
        {std::numeric_limits<double>::quiet_NaN(), Json::realValue},
    };
    for (const NumberCase& c : cases)
    {
        const Json::Value json = Value(c.number).ToJson();
        ASSERT_EQ(json.type(), c.type) << c.number;
        if (c.type == Json::intValue)
        {
            EXPECT_EQ(json.asInt64(), static_cast<int64_t>(c.number)) << c.number;
        }
        else if (std::isnan(c.number))
        {
            EXPECT_TRUE(std::isnan(json.asDouble()));
        }
        else
        {
            EXPECT_EQ(json.asDouble(), c.number);
        }
    }
    EXPECT_EQ(Value(-0.0).ToJson().asInt64(), 0);
}

TEST(ValueFromJson, NumbersComeInAsDoublesAndGoBackAsIntegers)
{
    const Value seven = Value::FromJson(Json::Value(7));
    ASSERT_EQ(seven.GetType(), Value::kNumber);
    EXPECT_EQ(seven.AsNumber(), 7.0);
    const Json::Value back = seven.ToJson();
    EXPECT_EQ(back.type(), Json::intValue);
    EXPECT_EQ(back.asInt64(), 7);

    const Value biggest = Value::FromJson(Json::Value(std::numeric_limits<Json::UInt64>::max()));
    EXPECT_EQ(biggest.AsNumber(), 18446744073709551615.0);
    EXPECT_EQ(biggest.ToJson().type(), Json::realValue);

    const Value smallest = Value::FromJson(Json::Value(std::numeric_limits<Json::Int64>::min()));
    EXPECT_EQ(smallest.ToJson(), Json::Value(std::numeric_limits<Json::Int64>::min()));
}

Json::Value Nested()
{
    Json::Value json(Json::objectValue);
    json["k"].append(Json::Value());
    json["k"].append(true);
    return json;
}

struct JsonSample
{
    const char* name;
    Json::Value json;
    int type;
    Json::Value roundTrip; // what ToJson gives back
};

std::vector<JsonSample> Samples()
{
    return {
        {"null", Json::Value(), Value::kNull, Json::Value()},
        {"true", Json::Value(true), Value::kBool, Json::Value(true)},
        {"false", Json::Value(false), Value::kBool, Json::Value(false)},
        {"int", Json::Value(-5), Value::kNumber, Json::Value(Json::Int64(-5))},
        {"uint", Json::Value(5u), Value::kNumber, Json::Value(Json::Int64(5))},
        {"integral real", Json::Value(4.0), Value::kNumber, Json::Value(Json::Int64(4))},
        {"real", Json::Value(0.25), Value::kNumber, Json::Value(0.25)},
        {"string", Json::Value("x"), Value::kString, Json::Value("x")},
        {"empty string", Json::Value(Json::stringValue), Value::kString, Json::Value("")},
        {"empty array", Json::Value(Json::arrayValue), Value::kArray, Json::Value(Json::arrayValue)},
        {"empty object", Json::Value(Json::objectValue), Value::kDict, Json::Value(Json::objectValue)},
        {"nested", Nested(), Value::kDict, Nested()},
    };
}

// Every type at the root, inside an array between other elements, and as an object member.
TEST(ValueFromJson, EveryTypeAtEveryPosition)
{
    for (const JsonSample& sample : Samples())
    {
        SCOPED_TRACE(sample.name);
        const Value root = Value::FromJson(sample.json);
        EXPECT_EQ(root.GetType(), sample.type);
        EXPECT_EQ(root.ToJson(), sample.roundTrip);

        Json::Value array(Json::arrayValue);
        array.append(1);
        array.append(sample.json);
        array.append("z");
        const Value inArray = Value::FromJson(array);
        ASSERT_EQ(inArray.Size(), 3u);
        EXPECT_EQ(inArray.At(1).GetType(), sample.type);
        EXPECT_EQ(Text(inArray.At(2)), "z");
        Json::Value expectedArray(Json::arrayValue);
        expectedArray.append(Json::Int64(1));
        expectedArray.append(sample.roundTrip);
        expectedArray.append("z");
        EXPECT_EQ(inArray.ToJson(), expectedArray);

        Json::Value object(Json::objectValue);
        object["a"] = sample.json;
        object["b"] = false;
        const Value inObject = Value::FromJson(object);
        ASSERT_EQ(inObject.Size(), 2u);
        ASSERT_TRUE(inObject.HasKey(L"a"));
        EXPECT_EQ(inObject.Get(L"a").GetType(), sample.type);
        Json::Value expectedObject(Json::objectValue);
        expectedObject["a"] = sample.roundTrip;
        expectedObject["b"] = false;
        EXPECT_EQ(inObject.ToJson(), expectedObject);
    }
}

TEST(ValueFromJson, MissingArrayElementsBecomeNull)
{
    Json::Value sparse(Json::arrayValue);
    sparse[2] = 1;
    EXPECT_EQ(Text(Value::FromJson(sparse)), "[ null, null, 1 ]");
}

TEST(ValueJson, NonAsciiKeysAndStringsRoundTrip)
{
    const char* key = "Gr\xc3\xbc\xc3\x9f" "e";                                  // Grüße
    const char* text = "\xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x98\x80";               // 日本 U+1F600
    Json::Value json(Json::objectValue);
    json[key] = text;
    json["list"].append(key);

    const Value value = Value::FromJson(json);
    EXPECT_STREQ(value.Get(L"Gr\u00fc\u00dfe").AsString().c_str(), L"\u65e5\u672c \U0001F600");
    EXPECT_STREQ(value.Get(L"list").At(0).AsString().c_str(), L"Gr\u00fc\u00dfe");
    EXPECT_EQ(value.ToJson(), json);
}

TEST(ValueFromJson, MemberNamesMeetingAsOneKeyKeepTheLaterValue)
{
    // "a" and "a\0b" differ in JSON but are the same key once cut at the zero.
    Json::Value json(Json::objectValue);
    json["a"] = 1;
    json[std::string("a\0b", 3)] = Json::Value(Json::arrayValue);
    json[std::string("a\0b", 3)].append("later");
    json["c"] = 3;
    const Value value = Value::FromJson(json);
    EXPECT_EQ(Text(value), "{ \"a\" : [ \"later\" ], \"c\" : 3 }");
}

TEST(ValueFromJson, InvalidUtf8IsReplacedNotTrusted)
{
    Json::Value json(Json::objectValue);
    json["\xff\xfe"] = "\xc3(A";
    const Value value = Value::FromJson(json);
    ASSERT_EQ(value.Size(), 1u);
    const auto entry = value.Keys().first;
    EXPECT_NE(entry.Key().GetLength(), 0u);
    const qv::WString& text = entry.Entry().AsString();
    ASSERT_GE(text.GetLength(), 2u);
    EXPECT_EQ(text.c_str()[text.GetLength() - 1], L'A');
}

TEST(ValueToJson, EntriesGoOutInInsertionOrder)
{
    Value dict;
    dict[L"b"] = 1;
    dict[L"a"] = 2;
    const Json::Value json = dict.ToJson();
    ASSERT_TRUE(json.isObject());
    EXPECT_EQ(json["b"], Json::Value(Json::Int64(1)));
    EXPECT_EQ(json["a"], Json::Value(Json::Int64(2)));

    // JsonCpp keeps members sorted, so the order only shows where two keys share a UTF-8
    // form (unpaired surrogates): the entry inserted last is the one that remains, and the
    // subtree it replaces was complete before it was replaced.
    Value clash;
    clash[L"\xD800"] = Arr({Value(L"x"), Arr({Value(L"y")})});
    clash[L"\xDBFF"] = L"second";
    const Json::Value clashJson = clash.ToJson();
    ASSERT_EQ(clashJson.size(), 1u);
    EXPECT_EQ(*clashJson.begin(), Json::Value("second"));

    Value reversed;
    reversed[L"\xDBFF"] = L"first";
    reversed[L"\xD800"] = Arr({Value(L"x"), Arr({Value(L"y")})});
    const Json::Value reversedJson = reversed.ToJson();
    ASSERT_EQ(reversedJson.size(), 1u);
    EXPECT_EQ(*reversedJson.begin(), Arr({Value(L"x"), Arr({Value(L"y")})}).ToJson());
}

TEST(ValueJson, HugeStringRoundTrip)
{
    std::wstring big(4u << 20, L'\u00e9');
    big.back() = L'z';
    const Value value = Arr({Value(big.c_str())});
    const Json::Value json = value.ToJson();
    EXPECT_EQ(json[0].asString().size(), 2 * (big.size() - 1) + 1);
    const Value back = Value::FromJson(json);
    EXPECT_EQ(std::wstring(back.At(0).AsString().c_str()), big);
}

// ----- nesting -----

int JsonDepth(const Json::Value& root)
{
    const Json::Value* walk = &root;
    int depth = 1;
    while ((walk->isArray() || walk->isObject()) && walk->size() != 0)
    {
        walk = walk->isArray() ? &(*walk)[0] : &*walk->begin();
        ++depth;
    }
    return depth;
}

Value NestedValue(int levels, Value bottom)
{
    Value root;
    Value* level = &root;
    for (int i = 1; i < levels; ++i)
        level = (i % 2 == 1) ? &level->Append(Value()) : &(*level)[L"k"];
    *level = std::move(bottom);
    return root;
}

bool ParsesWithDefaults(const std::string& text, Json::Value* out)
{
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string errors;
    try
    {
        return reader->parse(text.data(), text.data() + text.size(), out, &errors);
    }
    catch (const std::exception&)
    {
        return false;
    }
}

std::string Write(const Json::Value& json)
{
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    return Json::writeString(builder, json);
}

// The reader's default limit is the bound ToJson keeps to.
TEST(ValueJsonDepth, ReaderAcceptsExactlyTheBound)
{
    Json::Value parsed;
    const int bound = static_cast<int>(qv::kMaxJsonDepth);
    EXPECT_TRUE(ParsesWithDefaults(std::string(bound, '[') + std::string(bound, ']'), &parsed));
    EXPECT_FALSE(ParsesWithDefaults(std::string(bound + 1, '[') + std::string(bound + 1, ']'), &parsed));
}

TEST(ValueJsonDepth, DeepestReadableDocumentConvertsBothWays)
{
    const int bound = static_cast<int>(qv::kMaxJsonDepth);
    std::string text;
    for (int i = 1; i < bound; ++i)
        text += (i % 2 == 1) ? "[" : "{\"k\":";
    text += "\"bottom\"";
    for (int i = bound - 1; i >= 1; --i)
        text += (i % 2 == 1) ? "]" : "}";
    Json::Value parsed;
    ASSERT_TRUE(ParsesWithDefaults(text, &parsed));

    const Value value = Value::FromJson(parsed);
    EXPECT_EQ(Text(value), Text(NestedValue(bound, Value(L"bottom"))));
    EXPECT_EQ(value.ToJson(), parsed);
}

TEST(ValueJsonDepth, DeeperValuesAreCutToWhatTheReaderTakes)
{
    const int bound = static_cast<int>(qv::kMaxJsonDepth);
    const Value deep = NestedValue(100000, Value(L"bottom"));
    const Json::Value json = deep.ToJson();
    EXPECT_EQ(JsonDepth(json), bound);
    Json::Value parsed;
    ASSERT_TRUE(ParsesWithDefaults(Write(json), &parsed));
    EXPECT_EQ(parsed, json);

    // An empty container on the last level is kept; one that holds anything is not.
    const Json::Value emptyAtBound = NestedValue(bound, Value::NewDict()).ToJson();
    const Json::Value* walk = &emptyAtBound;
    for (int i = 1; i < bound; ++i)
        walk = walk->isArray() ? &(*walk)[0] : &(*walk)["k"];
    EXPECT_TRUE(walk->isObject() && walk->empty());
    const Json::Value cut = NestedValue(bound + 1, Value(1)).ToJson();
    EXPECT_EQ(JsonDepth(cut), bound);
    walk = &cut;
    for (int i = 1; i < bound; ++i)
        walk = walk->isArray() ? &(*walk)[0] : &(*walk)["k"];
    EXPECT_TRUE(walk->isNull());
}

// A Json::Value built in code can be deeper than the reader allows; converting it must not
// depend on the stack either.
TEST(ValueJsonDepth, ProgrammaticallyDeepJsonConverts)
{
    constexpr int kLevels = 5000;
    Json::Value json(Json::arrayValue);
    Json::Value* level = &json;
    for (int i = 1; i < kLevels; ++i)
        level = &level->append(Json::Value(Json::arrayValue));
    level->append("bottom");

    const Value value = Value::FromJson(json);
    const Value* walk = &value;
    int depth = 1;
    while (walk->GetType() == Value::kArray)
    {
        walk = &walk->At(0);
        ++depth;
    }
    EXPECT_EQ(depth, kLevels + 1);
    EXPECT_EQ(Text(*walk), "bottom");
}

} // namespace
