// Everything at once through the real DLL for a few seconds: no call hangs, every status is
// consistent, every detection fired while enabled is in the stored list, none that the filters
// reject is.
#include <gtest/gtest.h>

#include <cstdio>

#include "stress_scenario.h"

namespace {

TEST(Stress, ConcurrentEventsAndHostCallsKeepDetectionsAndStatusesSound)
{
    StressOptions options;
    options.duration = std::chrono::milliseconds(3000);
    const StressFigures figures = RunStress(options);
    std::printf("fired %ld, confirmed %ld, stored %ld, statuses %ld, calls %ld, host actions %ld, longest %.1f ms (%s)\n",
                figures.detectionsFired, figures.distinctConfirmed, figures.storedItems, figures.statusesPublished,
                figures.calls, figures.hostActions, figures.longestCallMs, figures.longestCall.c_str());

    EXPECT_EQ(figures.hungCalls, 0) << "longest: " << figures.longestCall;
    EXPECT_LT(figures.longestCallMs, static_cast<double>(options.callBound.count())) << figures.longestCall;
    ASSERT_GT(figures.detectionsFired, 0);
    ASSERT_GT(figures.distinctConfirmed, 0);
    EXPECT_EQ(figures.confirmedFound, figures.distinctConfirmed);
    EXPECT_TRUE(figures.missing.empty());
    EXPECT_EQ(figures.unimportantListed, 0);
    EXPECT_TRUE(figures.storedFormOk);
    EXPECT_GT(figures.statusesPublished, 0);
    EXPECT_EQ(figures.badStatuses, 0) << figures.firstBadStatus;
}

} // namespace
