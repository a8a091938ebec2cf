#include <gtest/gtest.h>

#include "fake_host/test_timeouts.h"

namespace {

struct ScaleTextCase
{
    const wchar_t* text;
    DWORD expected;
};

class TestTimeoutScaleText : public ::testing::TestWithParam<ScaleTextCase> {};

TEST_P(TestTimeoutScaleText, ParsesOnlyWholeNumbersInRange)
{
    EXPECT_EQ(ParseTestTimeoutScale(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, TestTimeoutScaleText,
                         ::testing::Values(ScaleTextCase{nullptr, 1}, ScaleTextCase{L"", 1},
                                           ScaleTextCase{L"20", 20}, ScaleTextCase{L"1000", 1000},
                                           ScaleTextCase{L"1001", 1}, ScaleTextCase{L"0", 1},
                                           ScaleTextCase{L"-5", 1}, ScaleTextCase{L"20x", 1},
                                           ScaleTextCase{L"x20", 1}, ScaleTextCase{L"99999999999999999999", 1}));

struct ScaleCase
{
    DWORD baseMs;
    DWORD scale;
    DWORD expected;
};

class TestTimeoutScaling : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(TestTimeoutScaling, MultipliesAndStaysBounded)
{
    EXPECT_EQ(ScaleTestTimeout(GetParam().baseMs, GetParam().scale), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, TestTimeoutScaling,
                         ::testing::Values(ScaleCase{500, 1, 500}, ScaleCase{500, 20, 10000},
                                           ScaleCase{0, 20, 0},
                                           // would reach INFINITE: a bounded wait must not become endless
                                           ScaleCase{0x7FFFFFFF, 2, INFINITE - 1},
                                           ScaleCase{0x80000000, 1000, INFINITE - 1},
                                           ScaleCase{INFINITE, 20, INFINITE}));

// The scale the waits use is the one the runner put in the environment.
TEST(TestTimeoutEnvironment, FollowsTheRunnersScale)
{
    wchar_t text[16] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"QV_TEST_TIMEOUT_SCALE", text, 16);
    const DWORD expected = length < 16 ? ParseTestTimeoutScale(text) : 1;
    EXPECT_EQ(TestTimeoutScale(), expected);
    EXPECT_EQ(TestTimeoutMs(100), 100 * expected);
    EXPECT_EQ(TestTimeout(std::chrono::milliseconds(100)).count(), 100 * static_cast<long long>(expected));
}

} // namespace
