// The objects this module offers. Both live in this one file so that they register in this order.
#include "malware_monitor/malware_monitor_al.h"
#include "module/exported_object_declaration.h"
#include "trace_logging/halvex_ark_logging_assistant.h"

namespace {

ExportedObjectDeclaration<MalwareMonitorAL> malwareMonitorDeclaration(L"FileScan.MalwareMonitor");
ExportedObjectDeclaration<HalvexArkLoggingAssistant> loggingAssistantDeclaration(L"HalvexArkLoggingAssistant");

} // namespace
