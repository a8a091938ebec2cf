// Create, Init, Start, Enable, Stop, UnInit and destroy, again and again, for both objects:
// handles, threads and private memory come back to where they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "lifecycle_cycles.h"

namespace {

// A cycle of both objects costs about 0.3 s under Wine here, so the quick run takes 24 of them;
// the reliability program runs 1000. Tolerances: a few handles and one thread for Wine's and the
// runtime's own lazy objects. Memory is judged in two windows of 12 cycles: the heap grows its
// arena in steps of 64 KiB or more whenever earlier tests left it fragmented, which can happen
// once in any window, while a cycle that loses 11 KiB (a worker thread's stack commit or a lost
// settings document) exceeds 128 KiB in both.
constexpr int kCycles = 24;
constexpr long kHandleTolerance = 8;
constexpr long kThreadTolerance = 1;
constexpr long long kPrivateBytesTolerance = 128 * 1024;

long long Growth(const ProcessCounts& from, const ProcessCounts& to)
{
    return static_cast<long long>(to.privateBytes) - static_cast<long long>(from.privateBytes);
}

TEST(Leaks, LifecycleCyclesReturnHandlesThreadsAndMemory)
{
    const LifecycleFigures figures = RunLifecycleCycles(8, kCycles);
    ASSERT_EQ(figures.failures, 0);
    ASSERT_EQ(figures.cycles, kCycles);
    ASSERT_GT(figures.before.handles, 0u) << "handles are counted";
    std::printf("handles %lu -> %lu, threads %lu -> %lu, private bytes %.0f -> %.0f -> %.0f\n",
                static_cast<unsigned long>(figures.before.handles), static_cast<unsigned long>(figures.after.handles),
                static_cast<unsigned long>(figures.before.threads), static_cast<unsigned long>(figures.after.threads),
                static_cast<double>(figures.before.privateBytes), static_cast<double>(figures.middle.privateBytes),
                static_cast<double>(figures.after.privateBytes));
    EXPECT_LE(static_cast<long>(figures.after.handles) - static_cast<long>(figures.before.handles), kHandleTolerance);
    EXPECT_LE(static_cast<long>(figures.after.threads) - static_cast<long>(figures.before.threads), kThreadTolerance);
    EXPECT_LE(std::min(Growth(figures.before, figures.middle), Growth(figures.middle, figures.after)),
              kPrivateBytesTolerance)
        << "memory grew in both halves of the run";
}

} // namespace
