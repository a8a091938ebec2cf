#pragma once
#include <string>
#include <vector>

// Kills a host process right after it acknowledged detections, then reloads its settings.
struct CrashFigures
{
    bool childRan = false;     // the child started and answered
    int acknowledged = 0;      // "ACK" lines read before the kill
    int foundInStore = 0;      // acknowledged detections in the stored document after the kill
    int foundAfterReload = 0;  // ... in the list a new monitor loaded and saved again
    bool reloadedFormOk = false; // the re-saved document keeps its keys and count
    std::vector<std::wstring> missing; // acknowledged, not found after the reload
    std::string childError;
};

// settingsFile is deleted first. duringRecheck: the silent task runs while the detections arrive.
CrashFigures RunCrashScenario(const std::wstring& settingsFile, int detections, bool duringRecheck);
