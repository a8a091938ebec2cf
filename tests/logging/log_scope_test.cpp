#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "logging/log_handle.h"
#include "logging/log_scope.h"
#include "logging/testing/log_recorder.h"

namespace {

class LogScopeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(recorder.Loaded()) << "the recording log.dll is missing beside the test program";
        holder.Acquire();
        recorder.Clear();
    }

    LogRecorder recorder;
    LogHandle holder;
};

// The number in "[...]" at the end of an exit line.
long ElapsedOf(const std::wstring& exitLine)
{
    const size_t open = exitLine.rfind(L'[');
    return open == std::wstring::npos ? -1 : std::wcstol(exitLine.c_str() + open + 1, nullptr, 10);
}

TEST_F(LogScopeTest, BracketsASlowMethodWithEntryAndExitLines)
{
    {
        LogScope scope(L"Worker::Run");
        ::Sleep(1500);
    }

    const std::vector<LogLine> lines = recorder.Lines();
    ASSERT_EQ(lines.size(), 2u);

    EXPECT_EQ(lines[0].nestingChange, +1);
    EXPECT_EQ(lines[0].level, LogLevel::Debug);
    EXPECT_EQ(lines[0].scope, L"Worker::Run");
    EXPECT_EQ(lines[0].format, L"-> %s");
    EXPECT_EQ(lines[0].text, L"-> Worker::Run()");

    EXPECT_EQ(lines[1].nestingChange, -1);
    EXPECT_EQ(lines[1].level, LogLevel::Debug);
    EXPECT_EQ(lines[1].scope, L"Worker::Run");
    EXPECT_EQ(lines[1].format, L"<- %s [%d]");
    EXPECT_EQ(lines[1].text.rfind(L"<- Worker::Run() [", 0), 0u) << lines[1].text;
    // Sleep never returns early; the upper bound only has to allow for a loaded machine.
    const long elapsed = ElapsedOf(lines[1].text);
    EXPECT_GE(elapsed, 1490);
    EXPECT_LT(elapsed, 1500 + 3000);
}

struct NameCase
{
    size_t length;
    size_t displayedLength; // characters before "()"
    size_t scopeLength;
};

class LogScopeNameTest : public LogScopeTest, public ::testing::WithParamInterface<NameCase> {};

// Names are cut, never refused: 257 characters plus "()" shown, 259 as scope.
TEST_P(LogScopeNameTest, CutsLongNames)
{
    std::wstring name;
    for (size_t i = 0; i < GetParam().length; ++i)
        name.push_back(static_cast<wchar_t>(L'a' + i % 26));
    {
        LogScope scope(name.c_str());
    }

    const std::vector<LogLine> lines = recorder.Lines();
    ASSERT_EQ(lines.size(), 2u);
    const std::wstring shown = name.substr(0, GetParam().displayedLength) + L"()";
    EXPECT_EQ(lines[0].text, L"-> " + shown);
    EXPECT_EQ(lines[1].text.rfind(L"<- " + shown + L" [", 0), 0u) << lines[1].text;
    for (const LogLine& line : lines)
        EXPECT_EQ(line.scope, name.substr(0, GetParam().scopeLength));
}

INSTANTIATE_TEST_SUITE_P(Lengths, LogScopeNameTest,
                         ::testing::Values(NameCase{300, 257, 259}, NameCase{259, 257, 259}, NameCase{258, 257, 258},
                                           NameCase{257, 257, 257}, NameCase{0, 0, 0}));

} // namespace
