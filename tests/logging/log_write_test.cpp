#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logging/clog_dll.h"
#include "logging/log.h"
#include "logging/log_handle.h"
#include "logging/log_scope.h"
#include "logging/shared_binding.h"
#include "logging/testing/log_recorder.h"

namespace {

class LogWriteTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(recorder.Loaded()) << "the recording log.dll is missing beside the test program";
        ASSERT_FALSE(logging::SharedBinding().InUse()) << "an earlier test kept the binding";
    }

    std::vector<std::wstring> EntryPoints() const
    {
        std::vector<std::wstring> names;
        for (const LogCall& call : recorder.Calls())
            names.push_back(call.entryPoint);
        return names;
    }

    LogRecorder recorder;
};

TEST_F(LogWriteTest, MessagesWithoutAnyHolderAreDroppedWithoutBinding)
{
    logging::Write(LogLevel::Error, L"Test::Dropped", L"lost %d", 1);
    EXPECT_EQ(logging::Fail(5002, LogLevel::Warning, L"Test::Dropped", L"lost too"), 5002u);
    {
        LogScope scope(L"Test::Dropped");
    }

    EXPECT_TRUE(recorder.Calls().empty());
    EXPECT_EQ(recorder.InitCount(), 0);
    EXPECT_EQ(logging::SharedBinding().ReferenceCount(), 0);

    recorder.Unpin();
    logging::Write(LogLevel::Error, L"Test::Dropped", L"lost %d", 2);
    EXPECT_EQ(::GetModuleHandleW(L"log.dll"), nullptr) << "a dropped message loaded the library";
}

struct LevelCase
{
    LogLevel level;
    uint32_t value;
};

class LogWriteLevelTest : public LogWriteTest, public ::testing::WithParamInterface<LevelCase> {};

// The format goes to log.dll unformatted, with its arguments; the recording library formats it
// with msvcrt, where %s takes a wide string.
TEST_P(LogWriteLevelTest, HandsFormatAndArgumentsToTheLibrary)
{
    LogHandle holder;
    holder.Acquire();
    logging::Write(GetParam().level, L"Test::Write", L"item %d is [%s]", 7, L"wide text");

    const std::vector<LogLine> lines = recorder.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].nestingChange, 0);
    EXPECT_EQ(static_cast<uint32_t>(lines[0].level), GetParam().value);
    EXPECT_EQ(lines[0].module, ::GetModuleHandleW(nullptr));
    EXPECT_EQ(lines[0].scope, L"Test::Write");
    EXPECT_EQ(lines[0].format, L"item %d is [%s]");
    EXPECT_EQ(lines[0].text, L"item 7 is [wide text]");
}

INSTANTIATE_TEST_SUITE_P(Levels, LogWriteLevelTest,
                         ::testing::Values(LevelCase{LogLevel::Error, 4}, LevelCase{LogLevel::Warning, 8},
                                           LevelCase{LogLevel::Info, 16}, LevelCase{LogLevel::Debug, 32}));

TEST_F(LogWriteTest, FailWritesTheLineAndReturnsTheResult)
{
    LogHandle holder;
    holder.Acquire();
    EXPECT_EQ(logging::Fail(1627, LogLevel::Error, L"Test::Fail", L"Failed to start logging for %s %d", L"halvex", 1627),
              1627u);
    EXPECT_TRUE(recorder.Contains(LogLevel::Error, L"Test::Fail", L"Failed to start logging for halvex 1627"));
}

TEST_F(LogWriteTest, LastReleaseTearsDownInOrderAndNextAcquireBindsAgain)
{
    LogHandle first;
    LogHandle second;
    first.Acquire();
    second.Acquire();
    second.Acquire();
    EXPECT_EQ(recorder.InitCount(), 1);
    EXPECT_EQ(first.Binding(), second.Binding());

    first.Release();
    EXPECT_EQ(first.Binding(), nullptr);
    EXPECT_EQ(recorder.DeinitCount(), 0) << "the other holder still has references";

    recorder.Clear();
    second.Release(); // drops both of its references
    EXPECT_EQ(EntryPoints(), (std::vector<std::wstring>{L"LogDeinit", L"LogUninitDeskMetrics", L"LogRemoveModule"}));
    EXPECT_EQ(recorder.Calls().back().text, L"logging::CLogDLL::~CLogDLL");
    EXPECT_EQ(logging::SharedBinding().ReferenceCount(), 0);

    logging::Write(LogLevel::Info, L"Test::Release", L"after the last holder");
    EXPECT_TRUE(recorder.Lines().empty());

    first.Acquire();
    EXPECT_EQ(recorder.InitCount(), 1) << "a later holder binds the library afresh";
    first.Release();
    second.Release(); // releasing again is harmless
    EXPECT_EQ(recorder.DeinitCount(), 2);
}

// The recorder's pin hides whether the module freed the library; dropping it shows that.
TEST_F(LogWriteTest, HoldersKeepTheLibraryLoadedAndTheLastReleaseUnloadsIt)
{
    LogHandle holder;
    holder.Acquire();
    recorder.Unpin();
    EXPECT_NE(::GetModuleHandleW(L"log.dll"), nullptr);

    holder.Release();
    EXPECT_EQ(::GetModuleHandleW(L"log.dll"), nullptr);
}

TEST_F(LogWriteTest, BindsEveryEntryPointOfTheLibrary)
{
    logging::CLogDLL binding(::GetModuleHandleW(nullptr));
    ASSERT_TRUE(binding.library);
    EXPECT_EQ(EntryPoints(), std::vector<std::wstring>{L"LogInit"});

    const std::vector<std::pair<const char*, bool>> bound = {
        {"LogApplySettings", binding.LogApplySettings != nullptr},
        {"LogSetSettingsFile", binding.LogSetSettingsFile != nullptr},
        {"LogEnable", binding.LogEnable != nullptr},
        {"LogSetLevel", binding.LogSetLevel != nullptr},
        {"LogSetPath", binding.LogSetPath != nullptr},
        {"LogSetType", binding.LogSetType != nullptr},
        {"LogSetMode", binding.LogSetMode != nullptr},
        {"LogSetMaxSize", binding.LogSetMaxSize != nullptr},
        {"LogSetDepth", binding.LogSetDepth != nullptr},
        {"LogIsEnabled", binding.LogIsEnabled != nullptr},
        {"LogMonitorSettings", binding.LogMonitorSettings != nullptr},
        {"LogUninitDeskMetrics", binding.LogUninitDeskMetrics != nullptr},
        {"LogTrackEvent", binding.LogTrackEvent != nullptr},
        {"LogTrackEventData", binding.LogTrackEventData != nullptr},
        {"LogRemoveModule", binding.LogRemoveModule != nullptr},
        {"LogGetLevel", binding.LogGetLevel != nullptr},
    };
    for (const auto& [name, isBound] : bound)
        EXPECT_TRUE(isBound) << name;
}

} // namespace
