// Create, Init, Start, Enable, Stop, UnInit and destroy, again and again, for both objects:
// handles, threads and private memory come back to where they were.
#include <gtest/gtest.h>

#include "lifecycle_cycles.h"

namespace {

// Tolerances: a few handles and one thread for Wine's and the runtime's own lazy objects, and
// 512 KiB of heap, which 200 cycles exceed as soon as a cycle loses 2.6 KiB.
constexpr long kHandleTolerance = 8;
constexpr long kThreadTolerance = 1;
constexpr long long kPrivateBytesTolerance = 512 * 1024;

TEST(Leaks, LifecycleCyclesReturnHandlesThreadsAndMemory)
{
    const LifecycleFigures figures = RunLifecycleCycles(20, 200);
    ASSERT_EQ(figures.failures, 0);
    ASSERT_EQ(figures.cycles, 200);
    EXPECT_GT(figures.before.handles, 0u) << "the platform reports handle counts";
    EXPECT_LE(static_cast<long>(figures.after.handles) - static_cast<long>(figures.before.handles), kHandleTolerance);
    EXPECT_LE(static_cast<long>(figures.after.threads) - static_cast<long>(figures.before.threads), kThreadTolerance);
    EXPECT_LE(static_cast<long long>(figures.after.privateBytes) - static_cast<long long>(figures.before.privateBytes),
              kPrivateBytesTolerance);
}

} // namespace
