// The reliability scenarios run longer than the quick tests, with their figures printed:
//   reliability_program.exe [stress seconds = 60] [lifecycle cycles = 1000] [crash detections = 200]
// Exit code 0 when every figure is sound, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "crash_scenario.h"
#include "lifecycle_cycles.h"
#include "stress_scenario.h"

namespace {

int Argument(int argc, char** argv, int index, int fallback)
{
    return argc > index ? std::atoi(argv[index]) : fallback;
}

void PrintCounts(const char* when, const ProcessCounts& counts)
{
    std::printf("  %-7s handles %lu, threads %lu, private bytes %.0f\n", when, static_cast<unsigned long>(counts.handles),
                static_cast<unsigned long>(counts.threads), static_cast<double>(counts.privateBytes));
}

bool Stress(int seconds)
{
    StressOptions options;
    options.duration = std::chrono::seconds(seconds);
    options.scannerThreads = 4;
    options.distinctObjects = 1000;
    const ProcessCounts before = ReadProcessCounts();
    const StressFigures f = RunStress(options);
    const ProcessCounts after = ReadProcessCounts();
    std::printf("stress (%d s, %d scanner threads)\n", seconds, options.scannerThreads);
    std::printf("  detections fired %ld, distinct confirmed while enabled %ld, found in store %ld, missing %ld\n",
                f.detectionsFired, f.distinctConfirmed, f.confirmedFound, static_cast<long>(f.missing.size()));
    std::printf("  stored items %ld, unimportant listed %ld, stored form %s\n", f.storedItems, f.unimportantListed,
                f.storedFormOk ? "ok" : "BAD");
    std::printf("  statuses published %ld, inconsistent %ld %s\n", f.statusesPublished, f.badStatuses,
                f.firstBadStatus.c_str());
    std::printf("  calls %ld (host actions %ld), longest wait %.1f ms in %s, hung %ld\n", f.calls, f.hostActions,
                f.longestCallMs, f.longestCall.c_str(), f.hungCalls);
    PrintCounts("before", before);
    PrintCounts("after", after);
    return f.distinctConfirmed > 0 && f.missing.empty() && f.unimportantListed == 0 && f.storedFormOk &&
           f.badStatuses == 0 && f.hungCalls == 0;
}

bool Soak(int cycles)
{
    const LifecycleFigures f = RunLifecycleCycles(20, cycles);
    std::printf("soak (%d lifecycle cycles of both objects, after 20 warm-up cycles)\n", f.cycles);
    std::printf("  failed cycles %d\n", f.failures);
    PrintCounts("before", f.before);
    PrintCounts("after", f.after);
    const long long memoryGrowth = static_cast<long long>(f.after.privateBytes) - static_cast<long long>(f.before.privateBytes);
    std::printf("  growth: handles %ld, threads %ld, private bytes %.0f\n",
                static_cast<long>(f.after.handles) - static_cast<long>(f.before.handles),
                static_cast<long>(f.after.threads) - static_cast<long>(f.before.threads), static_cast<double>(memoryGrowth));
    return f.failures == 0 && f.after.handles <= f.before.handles + 8 && f.after.threads <= f.before.threads + 1 &&
           memoryGrowth <= 1024 * 1024;
}

bool Crash(int detections)
{
    bool sound = true;
    for (bool duringRecheck : {false, true})
    {
        wchar_t folder[MAX_PATH];
        ::GetTempPathW(MAX_PATH, folder);
        const std::wstring file = std::wstring(folder) + L"qv_reliability_crash.json";
        const CrashFigures f = RunCrashScenario(file, detections, duringRecheck);
        std::printf("crash (%s)\n", duringRecheck ? "recheck running" : "listing");
        std::printf("  acknowledged %d, found in store after kill %d, found after reload %d, document form %s %s\n",
                    f.acknowledged, f.foundInStore, f.foundAfterReload, f.reloadedFormOk ? "ok" : "BAD",
                    f.childError.c_str());
        sound = sound && f.acknowledged == detections && f.foundInStore == detections &&
                f.foundAfterReload == detections && f.reloadedFormOk;
    }
    return sound;
}

} // namespace

int main(int argc, char** argv)
{
    const bool stress = Stress(Argument(argc, argv, 1, 60));
    const bool soak = Soak(Argument(argc, argv, 2, 1000));
    const bool crash = Crash(Argument(argc, argv, 3, 200));
    std::printf("result: %s\n", stress && soak && crash ? "sound" : "FAILED");
    return stress && soak && crash ? 0 : 1;
}
