#pragma once
// The whole fake host in one object: a component manager that hands out a fake of every plug-in
// the module uses, under the plug-in's name and id, and the host object that yields the manager.
// Tests, the demo host and the benchmark drive the plug-ins through the public members.
#include <string>

#include "fake_host/fake_component_manager.h"
#include "fake_host/fake_exclusion_manager.h"
#include "fake_host/fake_on_access.h"
#include "fake_host/fake_on_demand.h"
#include "fake_host/fake_plugin_host.h"
#include "fake_host/fake_serv_config.h"
#include "fake_host/fake_settings_store.h"
#include "fake_host/fake_telemetry.h"
#include "fake_host/fake_updater.h"

namespace fake_plugin_names {
constexpr const wchar_t* kSettings = L"CVSettings";
constexpr const wchar_t* kOnAccess = L"FileScan.OnAccess";
constexpr const wchar_t* kOnDemand = L"FileScan.OnDemand";
constexpr const wchar_t* kUpdate = L"Update.UpdateAL";
constexpr const wchar_t* kTelemetry = L"Product.Matrix";
constexpr const wchar_t* kExclusions = L"Exclusion.Manager";
constexpr const wchar_t* kConfig = L"productinfo";
} // namespace fake_plugin_names

class FakeHost
{
public:
    // settingsFile: where the settings store keeps its values across runs; empty: in memory only.
    explicit FakeHost(const std::wstring& settingsFile = std::wstring());
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    // The plug-ins first: the manager and the host object refer to them.
    FakeSettingsStore settings;
    FakeOnAccess onAccess;
    FakeOnDemand onDemand;
    FakeUpdater updater;
    FakeTelemetry telemetry;
    FakeExclusionManager exclusions;
    FakeServConfig config;
    FakeComponentManager manager;
    FakePluginHost host{&manager};
};
