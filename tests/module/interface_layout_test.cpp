// The host was built by another compiler: slot positions, base order and ids are a binary contract.
#include <gtest/gtest.h>

#include <cstdint>

#include "malware_monitor/imalware_monitor.h"
#include "malware_monitor/malware_monitor_al.h"
#include "module/icomponent_manager.h"
#include "module/iobject_constructor.h"
#include "module/iplugin_host.h"
#include "module/iqv_base_interface.h"
#include "module/iserv_plugin.h"
#include "module/testing/vtable_slot.h"
#include "trace_logging/halvex_ark_logging_assistant.h"
#include "trace_logging/isession_assistant.h"

namespace {

using qv::cvsdk::FileScan::MalwareMonitor::IMalwareMonitor;
using qv::Product::Support::ICollector;
using qv::Product::Support::ISessionAssistant;

struct SlotCase
{
    const char* member;
    long slot;
    long expected;
};

TEST(InterfaceLayout, VirtualFunctionsSitInTheirSlots)
{
    const SlotCase cases[] = {
        {"IQvBaseInterface::QueryInterface", VtableSlot(&IQvBaseInterface::QueryInterface), 0},
        {"IServPlugin::QueryInterface", VtableSlot(&IServPlugin::QueryInterface), 0},
        {"IServPlugin::Init", VtableSlot(&IServPlugin::Init), 1},
        {"IServPlugin::UnInit", VtableSlot(&IServPlugin::UnInit), 2},
        {"IServPlugin::Start", VtableSlot(&IServPlugin::Start), 3},
        {"IServPlugin::Stop", VtableSlot(&IServPlugin::Stop), 4},
        {"IPluginHost::GetComponentManager", VtableSlot(&IPluginHost::GetComponentManager), 1},
        {"IComponentManager::QueryPlugin", VtableSlot(&IComponentManager::QueryPlugin), 0},
        {"IComponentManager::ReleasePlugin", VtableSlot(&IComponentManager::ReleasePlugin), 1},
        {"IObjectConstructor::Create", VtableSlot(&IObjectConstructor::Create), 0},
        {"IObjectConstructor::Destroy", VtableSlot(&IObjectConstructor::Destroy), 1},
        {"IObjectConstructor::IsSingleton", VtableSlot(&IObjectConstructor::IsSingleton), 2},
        {"IMalwareMonitor::RegisterListener", VtableSlot(&IMalwareMonitor::RegisterListener), 0},
        {"IMalwareMonitor::UnregisterListener", VtableSlot(&IMalwareMonitor::UnregisterListener), 1},
        {"IMalwareMonitor::Enable", VtableSlot(&IMalwareMonitor::Enable), 2},
        {"IMalwareMonitor::IsEnabled", VtableSlot(&IMalwareMonitor::IsEnabled), 3},
        {"IMalwareMonitor::StartRecheck", VtableSlot(&IMalwareMonitor::StartRecheck), 4},
        {"ICollector::Reserved", VtableSlot(&ICollector::Reserved), 0},
        {"ICollector::Collect", VtableSlot(&ICollector::Collect), 1},
        {"ICollector::CleanUp", VtableSlot(&ICollector::CleanUp), 2},
        {"ICollector::GetName", VtableSlot(&ICollector::GetName), 3},
        {"ISessionAssistant::StartSession", VtableSlot(&ISessionAssistant::StartSession), 4},
        {"ISessionAssistant::EndSession", VtableSlot(&ISessionAssistant::EndSession), 5},
        {"ISessionAssistant::ApplyPredefinedSettings", VtableSlot(&ISessionAssistant::ApplyPredefinedSettings), 6},
    };
    for (const SlotCase& c : cases)
        EXPECT_EQ(c.slot, c.expected) << c.member;
}

struct IdCase
{
    const char* interfaceName;
    InterfaceId id;
    const wchar_t* text;
};

TEST(InterfaceLayout, IdsMatchTheirTextForm)
{
    const IdCase cases[] = {
        {"IQvBaseInterface", IQvBaseInterface::kId, L"514BE292-F7C5-425F-BC90-FCA366551AB3"},
        {"IServPlugin", IServPlugin::kId, L"E952825D-7C88-4176-9833-04D0414E2323"},
        {"IMalwareMonitor", IMalwareMonitor::kId, L"1CDFFE88-FB52-4DF5-B92E-12581D16BFFD"},
        {"ISessionAssistant", ISessionAssistant::kId, L"6BC72628-FB57-4669-B1A9-7886110BBCD6"},
    };
    for (const IdCase& c : cases)
        EXPECT_EQ(c.id, InterfaceId::FromText(c.text)) << c.interfaceName;
}

// The primary interface is the object's own address; the second interface follows its vtable pointer.
template <typename T, typename Second>
void ExpectBaseOrder()
{
    T object;
    const auto* address = reinterpret_cast<const char*>(&object);
    EXPECT_EQ(reinterpret_cast<const char*>(static_cast<IServPlugin*>(&object)), address);
    EXPECT_EQ(reinterpret_cast<const char*>(static_cast<Second*>(&object)), address + sizeof(void*));
    EXPECT_EQ(object.QueryInterface(IQvBaseInterface::kId), static_cast<void*>(&object));
}

TEST(InterfaceLayout, ExportedClassesPutIServPluginFirst)
{
    ExpectBaseOrder<MalwareMonitorAL, IMalwareMonitor>();
    ExpectBaseOrder<HalvexArkLoggingAssistant, ISessionAssistant>();
}

} // namespace
