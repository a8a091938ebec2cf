#pragma once
#include "module/host/task_record.h"
#include "module/host/task_reference.h"
#include "module/interface_id.h"

// Task records for tests, the demo host and the benchmark.
namespace testing_records {

using TaskReference = qv::cvsdk::FileScan::IOnDemand::TaskReference;
using TaskRecord = qv::cvsdk::FileScan::IOnDemand::TaskRecord;

TaskReference MakeTaskReference(const InterfaceId& id, const wchar_t* sid = L"", const wchar_t* name = L"");

// A task as the product might have configured its full scan: every field holds a value of its
// own, none the value a recheck task gets, so a copy shows which fields were changed. Properties
// "isSilent" = "false" and "priority" = "normal"; exclusion {0, "C:\Excluded"}; target "C:\".
TaskRecord MakeConfiguredTaskRecord(const InterfaceId& id);

} // namespace testing_records
