#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "sdk/qv_key_traits.h"
#include "sdk/qv_map.h"
#include "sdk/qv_string.h"

namespace {

using qv::WString;
using StringMap = qv::Map<WString, WString>;

struct HashCase
{
    const char* name;
    const wchar_t* text; // null: a default-constructed (null) string
    uint32_t expected;
};

class QvStringKeyHash : public ::testing::TestWithParam<HashCase> {};

TEST_P(QvStringKeyHash, MultipliesBy33FromSeed5381OverUtf16Units)
{
    const WString key = GetParam().text ? WString(GetParam().text) : WString();
    EXPECT_EQ(qv::KeyTraits<WString>::Hash(key), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, QvStringKeyHash,
                         ::testing::Values(HashCase{"Null", nullptr, 5381u}, HashCase{"Empty", L"", 5381u},
                                           HashCase{"OneUnit", L"a", 177670u},
                                           HashCase{"Lower", L"hello", 261238937u},
                                           HashCase{"Capital", L"Hello", 223289465u},
                                           HashCase{"BeyondAscii", L"C:\\x\\\u00e9\u4e2d.exe", 2832655032u},
                                           HashCase{"SurrogatePair", L"x\xD83D\xDE00", 195391290u}),
                         [](const ::testing::TestParamInfo<HashCase>& info) { return std::string(info.param.name); });

TEST(QvStringKeyMap, LetterCaseMattersAndNullEqualsEmpty)
{
    StringMap map;
    qv::IMap<WString, WString>& view = map;
    EXPECT_EQ(view.Insert(WString(L"Path"), WString(L"upper")), 0u);
    EXPECT_EQ(view.Insert(WString(L"path"), WString(L"lower")), 0u);
    EXPECT_EQ(view.Insert(WString(), WString(L"null key")), 0u);
    EXPECT_EQ(view.Insert(WString(L""), WString(L"empty key")), 183u);
    EXPECT_EQ(view.Count(), 3u);

    ASSERT_NE(view.Find(WString(L"Path")), nullptr);
    EXPECT_STREQ(view.Find(WString(L"Path"))->c_str(), L"upper");
    EXPECT_STREQ(view.Find(WString(L"path"))->c_str(), L"lower");
    EXPECT_EQ(view.Find(WString(L"PATH")), nullptr);
    ASSERT_NE(view.Find(WString(L"")), nullptr);
    EXPECT_STREQ(view.Find(WString(L""))->c_str(), L"null key");

    EXPECT_EQ(view.Remove(WString(L"")), 0u);
    EXPECT_EQ(view.Find(WString()), nullptr);
}

TEST(QvStringKeyMap, KeysAndValuesAreCopiedIntoTheirOwnBuffers)
{
    StringMap map;
    WString key(L"Scan.Targets");
    WString value(L"C:\\Windows");
    ASSERT_EQ(map.Insert(key, value), 0u);
    key.Assign(L"changed");
    value.Assign(L"changed too");

    qv::IConstEnum<WString, WString>* it = map.GetConstEnum();
    ASSERT_TRUE(it->HasMore());
    EXPECT_STREQ(it->Key()->c_str(), L"Scan.Targets");
    EXPECT_STREQ(it->Value()->c_str(), L"C:\\Windows");
    EXPECT_NE(it->Value()->c_str(), value.c_str());
    it->Release();

    StringMap copy(map);
    copy.Find(WString(L"Scan.Targets"))->Append(L"\\System32");
    EXPECT_STREQ(map.Find(WString(L"Scan.Targets"))->c_str(), L"C:\\Windows");

    WString out;
    ASSERT_EQ(copy.Get(WString(L"Scan.Targets"), out), 0u);
    EXPECT_STREQ(out.c_str(), L"C:\\Windows\\System32");
}

} // namespace
