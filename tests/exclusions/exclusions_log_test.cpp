#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logging/log_handle.h"
#include "logging/testing/log_recorder.h"
#include "malware_monitor/exclusions.h"

namespace {

TEST(ExclusionsLog, UpdateIsTracedWithItsNameReasonAndListSizes)
{
    LogRecorder recorder;
    ASSERT_TRUE(recorder.Loaded()) << "the recording log.dll is missing beside the test program";
    LogHandle holder;
    holder.Acquire();
    recorder.Clear();

    Exclusions tracker(L"Exclusion.Manager");
    qv::Product::ExclusionsUpdate update;
    update.name = L"Policy";
    update.reason = 7;
    update.active.resize(3);
    update.added.resize(1);
    EXPECT_EQ(tracker.OnActiveExclusionsUpdated(update), 0u);

    const std::vector<LogLine> lines = recorder.Lines();
    ASSERT_EQ(lines.size(), 3u);
    const std::wstring scope = L"Exclusions::OnActiveExclusionsUpdated";
    EXPECT_EQ(lines[0].text, L"-> " + scope + L"()");
    EXPECT_EQ(lines[1].level, LogLevel::Debug);
    EXPECT_EQ(lines[1].scope, scope);
    EXPECT_EQ(lines[1].text, L"[name = Policy] [reason = 7] [active = 3] [added = 1] [removed = 0]");
    EXPECT_EQ(lines[2].text.rfind(L"<- " + scope + L"()", 0), 0u);
}

} // namespace
