#include "fake_host/fake_host.h"

FakeHost::FakeHost(const std::wstring& settingsFile) : settings(settingsFile)
{
    using namespace fake_plugin_names;
    manager.Add<ICVSettings>(kSettings, &settings);
    manager.Add<qv::cvsdk::FileScan::IOnAccess>(kOnAccess, &onAccess);
    manager.Add<qv::cvsdk::FileScan::IOnDemand>(kOnDemand, &onDemand);
    manager.Add<qv::cvsdk::Update::IUpdate>(kUpdate, &updater);
    manager.Add<Telemetry::ITelemetry>(kTelemetry, &telemetry);
    manager.Add<qv::Product::IExclusionManager>(kExclusions, &exclusions);
    manager.Add<IServConfig>(kConfig, &config);
}
