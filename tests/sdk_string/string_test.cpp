#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "sdk/id_text.h"
#include "sdk/qv_string.h"
#include "sdk/utf8.h"

namespace {

using qv::WString;

// Stands in for another module's heap: counts what goes through it.
struct CountingMemMgr : qv::IMemMgr
{
    int allocations = 0;
    int reallocations = 0;
    int frees = 0;
    int releases = 0;
    void* Allocate(size_t size) override
    {
        ++allocations;
        return std::malloc(size);
    }
    void* Reallocate(void* block, size_t size) override
    {
        ++reallocations;
        return std::realloc(block, size);
    }
    void Free(void* block) override
    {
        ++frees;
        std::free(block);
    }
    void Release() override { ++releases; }

    static CountingMemMgr& Instance()
    {
        static CountingMemMgr instance;
        return instance;
    }
};

// The same string type as another module would instantiate it over its own manager.
using ForeignString = qv::StringT<wchar_t, CountingMemMgr, qv::ChTraitsCRT<wchar_t>, 1>;

WString& AsModuleString(ForeignString& s)
{
    static_assert(sizeof(ForeignString) == sizeof(WString), "same layout");
    return reinterpret_cast<WString&>(s);
}

TEST(StringBasics, DefaultIsEmptyAndUnallocated)
{
    WString s;
    EXPECT_EQ(s.GetLength(), 0u);
    EXPECT_STREQ(s.c_str(), L"");
    EXPECT_FALSE(s.IsAllocated());

    s.Assign(nullptr);
    EXPECT_TRUE(s.IsAllocated());
    EXPECT_EQ(s.Capacity(), 64u);
    EXPECT_EQ(s.GetLength(), 0u);
}

struct ReserveCase
{
    size_t startCapacity; // 0: no buffer yet
    size_t request;
    size_t expectedCapacity;
};

class StringReserve : public ::testing::TestWithParam<ReserveCase> {};

TEST_P(StringReserve, FollowsGrowthRule)
{
    WString s;
    if (GetParam().startCapacity != 0)
        s.Reallocate(GetParam().startCapacity);
    s.Reserve(GetParam().request);
    EXPECT_EQ(s.Capacity(), GetParam().expectedCapacity);
}

INSTANTIATE_TEST_SUITE_P(Growth, StringReserve,
                         ::testing::Values(ReserveCase{0, 1, 64}, ReserveCase{64, 100, 128},
                                           ReserveCase{1500, 2000, 2524}, ReserveCase{1024, 1100, 2048},
                                           ReserveCase{64, 10, 64}, ReserveCase{100, 120, 200}));

TEST(StringBasics, GrowingKeepsTextAndTerminator)
{
    WString s(L"abc");
    s.Reserve(5000);
    EXPECT_STREQ(s.c_str(), L"abc");
    s.Reallocate(2);
    EXPECT_EQ(s.GetLength(), 2u);
    EXPECT_STREQ(s.c_str(), L"ab");
}

TEST(StringBasics, AssignFromOwnCharacters)
{
    WString s(L"hello world");
    s.Assign(s.c_str() + 6, WString::kAll);
    EXPECT_STREQ(s.c_str(), L"world");
    s.Assign(s.c_str());
    EXPECT_STREQ(s.c_str(), L"world");
    s.Append(s.c_str());
    EXPECT_STREQ(s.c_str(), L"worldworld");
}

TEST(StringBasics, SetLengthMeasuresToFirstZero)
{
    WString s(L"abcdef");
    s.GetBuffer()[3] = 0;
    s.SetLength(WString::kAll);
    EXPECT_EQ(s.GetLength(), 3u);
}

TEST(StringFormat, NumberAndWideStringArgument)
{
    const WString seven = WString::Format(L"%d", 7);
    EXPECT_STREQ(seven.c_str(), L"7");
    EXPECT_EQ(seven.GetLength(), 1u);
    EXPECT_EQ(seven.Capacity(), 64u);

    // %s takes a wide string in a wide format, as on Windows.
    EXPECT_STREQ(WString::Format(L"[%s] %u", L"wide", 42u).c_str(), L"[wide] 42");

    const WString nullFormat = WString::Format(nullptr);
    EXPECT_TRUE(nullFormat.IsAllocated());
    EXPECT_EQ(nullFormat.GetLength(), 0u);
}

TEST(StringFormat, LongOutputGrows)
{
    const std::wstring big(3000, L'x');
    const WString s = WString::Format(L"%s!", big.c_str());
    EXPECT_EQ(s.GetLength(), 3001u);
    EXPECT_EQ(s.c_str()[3000], L'!');
}

class ForeignManager : public ::testing::Test
{
protected:
    void SetUp() override { mgr = CountingMemMgr{}; }
    CountingMemMgr& mgr = CountingMemMgr::Instance();
};

TEST_F(ForeignManager, GrowAndFreeGoThroughTheRecordedManager)
{
    {
        ForeignString foreign(L"made elsewhere");
        const int allocationsBefore = mgr.allocations + mgr.reallocations;
        WString& s = AsModuleString(foreign);
        s.Reserve(4000);
        s.Append(L" and grown here");
        EXPECT_GT(mgr.allocations + mgr.reallocations, allocationsBefore);
        EXPECT_STREQ(s.c_str(), L"made elsewhere and grown here");
        EXPECT_EQ(s.Manager(), &mgr);
    }
    EXPECT_EQ(mgr.frees, 2); // block and info record
    EXPECT_EQ(mgr.releases, 1);
}

TEST_F(ForeignManager, MoveCopiesAcrossManagersAndTransfersWithin)
{
    ForeignString foreign(L"foreign");
    WString mine;
    mine = std::move(AsModuleString(foreign));
    EXPECT_STREQ(mine.c_str(), L"foreign");
    EXPECT_STREQ(foreign.c_str(), L"foreign") << "a foreign source stays intact";
    EXPECT_EQ(mine.Manager(), &qv::StringMemMgr::Instance());

    WString source(L"same manager");
    const wchar_t* block = source.c_str();
    WString target(L"old");
    target = std::move(source);
    EXPECT_EQ(target.c_str(), block) << "the block moves without copying";
    EXPECT_FALSE(source.IsAllocated());
}

TEST_F(ForeignManager, GrowingVectorMovesOwnBlocksAndCopiesForeignOnes)
{
    std::vector<WString> strings;
    strings.emplace_back(L"own");
    // A block of another module's manager sitting in one of our containers.
    strings.emplace_back();
    reinterpret_cast<ForeignString&>(strings.back()) = ForeignString(L"foreign");
    const wchar_t* ownBlock = strings[0].c_str();
    const int freesBefore = mgr.frees;

    strings.reserve(strings.capacity() + 1);

    EXPECT_EQ(strings[0].c_str(), ownBlock) << "growth moves the block instead of copying it";
    EXPECT_STREQ(strings[1].c_str(), L"foreign");
    EXPECT_EQ(strings[1].Manager(), &qv::StringMemMgr::Instance()) << "another module's block is copied, not adopted";
    EXPECT_EQ(mgr.frees, freesBefore + 2) << "the old block and info go back through their own manager";
}

TEST(StringDeathTest, OverwrittenRearGuardEndsTheProcess)
{
    EXPECT_DEATH(
        {
            WString s(L"abc");
            wchar_t* chars = s.GetBuffer();
            std::memset(chars + s.Capacity() + 1, 0x55, 4);
            s.Append(L"x");
        },
        "guard");
}

TEST(StringDeathTest, SetLengthBeyondCapacityEndsTheProcess)
{
    EXPECT_DEATH(
        {
            WString s(L"abc");
            s.SetLength(s.Capacity() + 1);
        },
        "capacity");
}

TEST(StringUtf8, RoundTripsNonAscii)
{
    const wchar_t* text = L"Gr\u00fc\u00dfe \u65e5\u672c \U0001F600";
    const qv::AString narrow = qv::ToUtf8(text);
    EXPECT_STREQ(narrow.c_str(), "Gr\xC3\xBC\xC3\x9F" "e \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80");
    EXPECT_STREQ(qv::FromUtf8(narrow.c_str()).c_str(), text);
}

TEST(StringUtf8, EmptyAndNullGiveAllocatedEmpty)
{
    for (const wchar_t* source : {L"", static_cast<const wchar_t*>(nullptr)})
    {
        const qv::AString narrow = qv::ToUtf8(source);
        EXPECT_TRUE(narrow.IsAllocated());
        EXPECT_EQ(narrow.GetLength(), 0u);
    }
    for (const char* source : {"", static_cast<const char*>(nullptr)})
    {
        const WString wide = qv::FromUtf8(source);
        EXPECT_TRUE(wide.IsAllocated());
        EXPECT_EQ(wide.GetLength(), 0u);
    }
}

TEST(StringIdText, WritesWordsMostSignificantFirst)
{
    EXPECT_STREQ(qv::IdText(InterfaceId(0x44556677, 0x00112233, 0x89abcdef, 0x01234567)).c_str(),
                 L"01234567-89ab-cdef-0011-223344556677");
    // Reads back through the text parser.
    const InterfaceId silent = InterfaceId::FromText(L"84d49279-49ff-40f3-9196-2055542cefc8");
    EXPECT_STREQ(qv::IdText(silent).c_str(), L"84d49279-49ff-40f3-9196-2055542cefc8");
}

TEST(StringCompare, ExactCodeUnitsNullEqualsEmpty)
{
    EXPECT_EQ(WString(), WString(L""));
    EXPECT_NE(WString(L"a"), WString(L"A"));
    EXPECT_TRUE(WString(L"Z") < WString(L"a"));
    EXPECT_TRUE(WString(L"ab") < WString(L"abc"));
}

} // namespace
