#pragma once
#include <string>

// The detections the crash child reports, by number, and the threat name they carry.
constexpr const wchar_t* kCrashThreatName = L"Trojan.Crash";
std::wstring CrashDetectionObject(int index);
