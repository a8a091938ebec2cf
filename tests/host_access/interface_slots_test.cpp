#include <gtest/gtest.h>

#include "module/host/icomponent_exclusions.h"
#include "module/host/icv_settings.h"
#include "module/host/iexclusion_manager.h"
#include "module/host/ion_access.h"
#include "module/host/ion_demand.h"
#include "module/host/iserv_config.h"
#include "module/host/isettings_accessor.h"
#include "module/host/itelemetry.h"
#include "module/host/iupdate.h"
#include "module/icomponent_manager.h"
#include "module/iplugin_host.h"
#include "module/testing/vtable_slot.h"

namespace {

using qv::Product::IComponentExclusions;
using qv::Product::IExclusionManager;
using namespace qv::cvsdk::FileScan;
using qv::cvsdk::Update::IUpdate;

TEST(HostInterfaceSlots, AccessPath)
{
    EXPECT_EQ(VtableSlot(&IPluginHost::GetComponentManager), 1);
    EXPECT_EQ(VtableSlot(&IComponentManager::QueryPlugin), 0);
    EXPECT_EQ(VtableSlot(&IComponentManager::ReleasePlugin), 1);
}

TEST(HostInterfaceSlots, Settings)
{
    EXPECT_EQ(VtableSlot(&ICVSettings::OpenForReading), 1);
    EXPECT_EQ(VtableSlot(&ICVSettings::CreateWriter), 2);
    EXPECT_EQ(VtableSlot(&ICVSettings::Commit), 3);
    EXPECT_EQ(VtableSlot(&ISettingsAccessor::Release), 2);
    EXPECT_EQ(VtableSlot(&ISettingsAccessor::ErrorCount), 14);
    EXPECT_EQ(VtableSlot(&ISettingsAccessor::ReadJson), 16);
    EXPECT_EQ(VtableSlot(&ISettingsAccessor::ReadBool), 22);
    EXPECT_EQ(VtableSlot(&ISettingsAccessor::WriteJson), 30);
    EXPECT_EQ(VtableSlot(&ISettingsAccessor::WriteBool), 36);
}

TEST(HostInterfaceSlots, OnAccess)
{
    EXPECT_EQ(VtableSlot(&IOnAccess::Subscribe), 22);
    EXPECT_EQ(VtableSlot(&IOnAccess::Unsubscribe), 25);
    EXPECT_EQ(VtableSlot(&IOnAccess::IScanEvents::DeletingDestructor), 0);
    EXPECT_EQ(VtableSlot(&IOnAccess::IScanEvents::OnVirusFound), 1);
    EXPECT_EQ(VtableSlot(&IOnAccess::IScanEvents::OnScanEvent2), 2);
}

TEST(HostInterfaceSlots, OnDemand)
{
    EXPECT_EQ(VtableSlot(&IOnDemand::GetTask), 3);
    EXPECT_EQ(VtableSlot(&IOnDemand::CreateTask), 4);
    EXPECT_EQ(VtableSlot(&IOnDemand::DeleteTask), 6);
    EXPECT_EQ(VtableSlot(&IOnDemand::GetTaskResults), 18);
    EXPECT_EQ(VtableSlot(&IOnDemand::StartTask), 20);
    EXPECT_EQ(VtableSlot(&IOnDemand::Subscribe), 27);
    EXPECT_EQ(VtableSlot(&IOnDemand::Unsubscribe), 30);
    EXPECT_EQ(VtableSlot(&IOnDemand::ITaskEvents::DeletingDestructor), 0);
    EXPECT_EQ(VtableSlot(&IOnDemand::ITaskEvents::OnTaskEvent1), 1);
    EXPECT_EQ(VtableSlot(&IOnDemand::ITaskEvents::OnTaskStateChanged), 2);
    EXPECT_EQ(VtableSlot(&IOnDemand::ITaskEvents::OnTaskEvent3), 3);
    EXPECT_EQ(VtableSlot(&IOnDemand::ITaskEvents::OnTaskEvent4), 4);
}

TEST(HostInterfaceSlots, Update)
{
    EXPECT_EQ(VtableSlot(&IUpdate::Subscribe), 19);
    EXPECT_EQ(VtableSlot(&IUpdate::Unsubscribe), 20);
    EXPECT_EQ(VtableSlot(&IUpdate::IEvents::OnUpdateEvent0), 0);
    EXPECT_EQ(VtableSlot(&IUpdate::IEvents::OnUpdateEvent6), 6);
    EXPECT_EQ(VtableSlot(&IUpdate::IEvents::OnComponentUpdated), 7);
    EXPECT_EQ(VtableSlot(&IUpdate::IEvents::OnUpdateEvent8), 8);
    EXPECT_EQ(VtableSlot(&IUpdate::IEvents::OnUpdateEvent15), 15);
}

TEST(HostInterfaceSlots, TelemetryExclusionsAndConfiguration)
{
    EXPECT_EQ(VtableSlot(&Telemetry::ITelemetry::SendFilteredNotification), 1);
    EXPECT_EQ(VtableSlot(&IExclusionManager::OpenComponentExclusions), 1);
    EXPECT_EQ(VtableSlot(&IExclusionManager::CloseComponentExclusions), 2);
    EXPECT_EQ(VtableSlot(&IExclusionManager::IEvents::DeletingDestructor), 0);
    EXPECT_EQ(VtableSlot(&IExclusionManager::IEvents::OnActiveExclusionsUpdated), 1);
    EXPECT_EQ(VtableSlot(&IExclusionManager::IEvents::Revision), 2);
    EXPECT_EQ(VtableSlot(&IComponentExclusions::Subscribe), 1);
    EXPECT_EQ(VtableSlot(&IComponentExclusions::Unsubscribe), 2);
    EXPECT_EQ(VtableSlot(&IComponentExclusions::GetActiveExclusions), 11);
    EXPECT_EQ(VtableSlot(&IServConfig::GetString), 6);
}

} // namespace
