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
#include "support/vtable_slot.h"

namespace {

using qv::Product::IComponentExclusions;
using qv::Product::IExclusionManager;
using namespace qv::cvsdk::FileScan;
using qv::cvsdk::Update::IUpdate;

TEST(HostInterfaceSlots, AccessPath)
{
    EXPECT_EQ(VtableSlot(&IPluginHost::GetComponentManager), 1u);
    EXPECT_EQ(VtableSlot(&IComponentManager::QueryPlugin), 0u);
    EXPECT_EQ(VtableSlot(&IComponentManager::ReleasePlugin), 1u);
}

TEST(HostInterfaceSlots, Settings)
{
    EXPECT_EQ(VtableSlot(&ICVSettings::OpenForReading), 1u);
    EXPECT_EQ(VtableSlot(&ICVSettings::CreateWriter), 2u);
    EXPECT_EQ(VtableSlot(&ICVSettings::Commit), 3u);
    EXPECT_EQ(VtableSlot(&ISettingsAccessor::Release), 2u);
    EXPECT_EQ(VtableSlot(&ISettingsAccessor::ErrorCount), 14u);
    EXPECT_EQ(VtableSlot(&ISettingsAccessor::ReadJson), 16u);
    EXPECT_EQ(VtableSlot(&ISettingsAccessor::ReadBool), 22u);
    EXPECT_EQ(VtableSlot(&ISettingsAccessor::WriteJson), 30u);
    EXPECT_EQ(VtableSlot(&ISettingsAccessor::WriteBool), 36u);
}

TEST(HostInterfaceSlots, OnAccess)
{
    EXPECT_EQ(VtableSlot(&IOnAccess::Subscribe), 22u);
    EXPECT_EQ(VtableSlot(&IOnAccess::Unsubscribe), 25u);
    EXPECT_EQ(VtableSlot(&IOnAccess::IScanEvents::DeletingDestructor), 0u);
    EXPECT_EQ(VtableSlot(&IOnAccess::IScanEvents::OnVirusFound), 1u);
    EXPECT_EQ(VtableSlot(&IOnAccess::IScanEvents::OnScanEvent2), 2u);
}

TEST(HostInterfaceSlots, OnDemand)
{
    EXPECT_EQ(VtableSlot(&IOnDemand::GetTask), 3u);
    EXPECT_EQ(VtableSlot(&IOnDemand::CreateTask), 4u);
    EXPECT_EQ(VtableSlot(&IOnDemand::DeleteTask), 6u);
    EXPECT_EQ(VtableSlot(&IOnDemand::GetTaskResults), 18u);
    EXPECT_EQ(VtableSlot(&IOnDemand::StartTask), 20u);
    EXPECT_EQ(VtableSlot(&IOnDemand::Subscribe), 27u);
    EXPECT_EQ(VtableSlot(&IOnDemand::Unsubscribe), 30u);
    EXPECT_EQ(VtableSlot(&IOnDemand::ITaskEvents::DeletingDestructor), 0u);
    EXPECT_EQ(VtableSlot(&IOnDemand::ITaskEvents::OnTaskEvent1), 1u);
    EXPECT_EQ(VtableSlot(&IOnDemand::ITaskEvents::OnTaskStateChanged), 2u);
    EXPECT_EQ(VtableSlot(&IOnDemand::ITaskEvents::OnTaskEvent3), 3u);
    EXPECT_EQ(VtableSlot(&IOnDemand::ITaskEvents::OnTaskEvent4), 4u);
}

TEST(HostInterfaceSlots, Update)
{
    EXPECT_EQ(VtableSlot(&IUpdate::Subscribe), 19u);
    EXPECT_EQ(VtableSlot(&IUpdate::Unsubscribe), 20u);
    EXPECT_EQ(VtableSlot(&IUpdate::IEvents::OnUpdateEvent0), 0u);
    EXPECT_EQ(VtableSlot(&IUpdate::IEvents::OnUpdateEvent6), 6u);
    EXPECT_EQ(VtableSlot(&IUpdate::IEvents::OnComponentUpdated), 7u);
    EXPECT_EQ(VtableSlot(&IUpdate::IEvents::OnUpdateEvent8), 8u);
    EXPECT_EQ(VtableSlot(&IUpdate::IEvents::OnUpdateEvent15), 15u);
}

TEST(HostInterfaceSlots, TelemetryExclusionsAndConfiguration)
{
    EXPECT_EQ(VtableSlot(&Telemetry::ITelemetry::SendFilteredNotification), 1u);
    EXPECT_EQ(VtableSlot(&IExclusionManager::OpenComponentExclusions), 1u);
    EXPECT_EQ(VtableSlot(&IExclusionManager::CloseComponentExclusions), 2u);
    EXPECT_EQ(VtableSlot(&IExclusionManager::IEvents::DeletingDestructor), 0u);
    EXPECT_EQ(VtableSlot(&IExclusionManager::IEvents::OnActiveExclusionsUpdated), 1u);
    EXPECT_EQ(VtableSlot(&IExclusionManager::IEvents::Revision), 2u);
    EXPECT_EQ(VtableSlot(&IComponentExclusions::Subscribe), 1u);
    EXPECT_EQ(VtableSlot(&IComponentExclusions::Unsubscribe), 2u);
    EXPECT_EQ(VtableSlot(&IComponentExclusions::GetActiveExclusions), 11u);
    EXPECT_EQ(VtableSlot(&IServConfig::GetString), 6u);
}

} // namespace
