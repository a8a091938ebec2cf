// A host process killed right after the monitor acknowledged detections, with and without a
// recheck running: a new process finds every acknowledged detection in the store and the list.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "crash_scenario.h"

namespace {

struct CrashCase
{
    const char* name;
    bool duringRecheck;
};

class CrashTest : public ::testing::TestWithParam<CrashCase>
{
};

std::wstring SettingsFileFor(const CrashCase& crash)
{
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + L"qv_crash_" + std::to_wstring(::GetCurrentProcessId()) +
           (crash.duringRecheck ? L"_recheck" : L"_plain") + L".json";
}

TEST_P(CrashTest, EveryAcknowledgedDetectionSurvivesTheKill)
{
    constexpr int kDetections = 25;
    const CrashFigures figures = RunCrashScenario(SettingsFileFor(GetParam()), kDetections, GetParam().duringRecheck);

    ASSERT_TRUE(figures.childRan) << figures.childError;
    EXPECT_EQ(figures.childError, "");
    ASSERT_EQ(figures.acknowledged, kDetections);
    EXPECT_EQ(figures.foundInStore, kDetections) << "stored before OnVirusFound returned";
    EXPECT_EQ(figures.foundAfterReload, kDetections) << "loaded back into the list";
    EXPECT_TRUE(figures.missing.empty()) << std::string(figures.missing.empty() ? "" : "first missing item listed");
    EXPECT_TRUE(figures.reloadedFormOk) << "the document keeps its keys, its count and the later detection";
}

INSTANTIATE_TEST_SUITE_P(Monitor, CrashTest,
                         ::testing::Values(CrashCase{"Listing", false}, CrashCase{"RecheckRunning", true}),
                         [](const ::testing::TestParamInfo<CrashCase>& info) { return info.param.name; });

} // namespace
