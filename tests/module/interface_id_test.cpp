#include <gtest/gtest.h>

#include "module/interface_id.h"

namespace {

struct IdCase
{
    const wchar_t* text;
    InterfaceId expected;
};

class InterfaceIdText : public ::testing::TestWithParam<IdCase> {};

TEST_P(InterfaceIdText, ParsesIntoWords)
{
    const InterfaceId id = InterfaceId::FromText(GetParam().text);
    EXPECT_EQ(id, GetParam().expected) << std::hex << id.w0 << ' ' << id.w1 << ' ' << id.w2 << ' ' << id.w3;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InterfaceIdText,
    ::testing::Values(
        IdCase{L"872DA2C0-CDA8-4CEF-8348-02768709E306", {0x8709E306, 0x83480276, 0xCDA84CEF, 0x872DA2C0}},
        IdCase{L"{D01F7793-BF4C-46D5-B43C-66494B6E87BD}", {0x4B6E87BD, 0xB43C6649, 0xBF4C46D5, 0xD01F7793}},
        IdCase{L"1CDFFE88-FB52-4DF5-B92E-12581D16BFFD", {0x1D16BFFD, 0xB92E1258, 0xFB524DF5, 0x1CDFFE88}},
        IdCase{L"872DA2C0-zzzz", {0, 0, 0, 0x872DA2C0}},
        IdCase{L"", {0, 0, 0, 0}}));

} // namespace
