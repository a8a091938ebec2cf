// Create, Init, Start, Enable, Stop, UnInit and destroy, again and again, for both objects:
// handles, threads and private memory come back to where they were.
#include <gtest/gtest.h>

#include <cstdio>

#include "lifecycle_cycles.h"

namespace {

// A cycle of both objects costs about 0.7 s under Wine here, so the quick run takes 12 of them;
// the reliability program runs 1000. Tolerances: a few handles and one thread for Wine's and the
// runtime's own lazy objects, and 128 KiB of memory, which 12 cycles exceed as soon as a cycle
// loses 11 KiB (a worker thread's stack commit or a lost settings document would).
constexpr int kCycles = 12;
constexpr long kHandleTolerance = 8;
constexpr long kThreadTolerance = 1;
constexpr long long kPrivateBytesTolerance = 128 * 1024;

TEST(Leaks, LifecycleCyclesReturnHandlesThreadsAndMemory)
{
    const LifecycleFigures figures = RunLifecycleCycles(4, kCycles);
    ASSERT_EQ(figures.failures, 0);
    ASSERT_EQ(figures.cycles, kCycles);
    ASSERT_GT(figures.before.handles, 0u) << "handles are counted";
    std::printf("handles %lu -> %lu, threads %lu -> %lu, private bytes %.0f -> %.0f\n",
                static_cast<unsigned long>(figures.before.handles), static_cast<unsigned long>(figures.after.handles),
                static_cast<unsigned long>(figures.before.threads), static_cast<unsigned long>(figures.after.threads),
                static_cast<double>(figures.before.privateBytes), static_cast<double>(figures.after.privateBytes));
    EXPECT_LE(static_cast<long>(figures.after.handles) - static_cast<long>(figures.before.handles), kHandleTolerance);
    EXPECT_LE(static_cast<long>(figures.after.threads) - static_cast<long>(figures.before.threads), kThreadTolerance);
    EXPECT_LE(static_cast<long long>(figures.after.privateBytes) - static_cast<long long>(figures.before.privateBytes),
              kPrivateBytesTolerance);
}

} // namespace
