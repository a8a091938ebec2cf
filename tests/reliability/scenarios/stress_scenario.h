#pragma once
#include <chrono>
#include <string>
#include <vector>

// Everything at once through the real qvmodule.dll: scanner threads reporting detections,
// task and update events, exclusion updates, while the host toggles Enable, asks for
// rechecks, registers listeners and stops and starts the monitor.
struct StressOptions
{
    std::chrono::milliseconds duration{3000};
    int scannerThreads = 3;
    int distinctObjects = 300;
    // A call taking longer than this counts as hung; past three times it the process is ended.
    std::chrono::milliseconds callBound{10000};
};

struct StressFigures
{
    long detectionsFired = 0;
    long distinctConfirmed = 0;   // important detections surely fired while enabled
    long confirmedFound = 0;      // ... of them in the stored list at the end
    std::vector<std::wstring> missing;
    long unimportantListed = 0;   // stored items that the filters should have kept out
    long storedItems = 0;
    bool storedFormOk = false;
    long statusesPublished = 0;
    long badStatuses = 0;         // inconsistent count, presence, size or strings
    std::string firstBadStatus;
    long calls = 0;
    double longestCallMs = 0;
    std::string longestCall;
    long hungCalls = 0;           // calls that exceeded the bound
    long hostActions = 0;
};

StressFigures RunStress(const StressOptions& options);
