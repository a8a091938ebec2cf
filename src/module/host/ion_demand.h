#pragma once
#include <cstdint>

#include "module/host/reserved_slot.h"
#include "module/interface_id.h"
#include "sdk/qv_string.h"

namespace qv::cvsdk::FileScan {

// The on-demand scanner and its task store, plug-in "FileScan.OnDemand".
// The records it exchanges are defined in their own headers (ondemand_*.h, task_*.h, scan_summary.h).
struct IOnDemand
{
    static InterfaceId Id() { return InterfaceId(0x277BDC33, 0x884A16B0, 0x989842E1, 0x8AEA5058); }
    static constexpr const wchar_t* kGetPluginScope =
        L"ServPlugin<struct qv::cvsdk::FileScan::IOnDemand>::GetPlugin";

    struct Threat;
    struct ScanSummary;
    struct TaskReference;
    struct TaskCompletion;
    struct TaskState;
    struct TaskRecord;

    // Task notifications, delivered on the scanner's threads. Implemented by the module.
    struct ITaskEvents
    {
        // The host never owns a sink; the slot only keeps the table's shape.
        virtual void* DeletingDestructor(unsigned int /*flags*/) { return this; } // slot 0
        virtual uint32_t OnTaskEvent1(uintptr_t /*a*/, uintptr_t /*b*/, uintptr_t /*c*/) { return 0; }
        virtual uint32_t OnTaskStateChanged(const TaskReference& /*task*/, const TaskState& /*state*/) { return 0; }
        virtual uint32_t OnTaskEvent3(uintptr_t /*a*/, uintptr_t /*b*/) { return 0; }
        virtual uint32_t OnTaskEvent4(uintptr_t /*a*/, uintptr_t /*b*/, uintptr_t /*c*/) { return 0; }

    protected:
        ~ITaskEvents() = default;
    };

    virtual uint32_t Reserved0() { return kReservedSlotResult; }
    virtual uint32_t Reserved1() { return kReservedSlotResult; }
    virtual uint32_t Reserved2() { return kReservedSlotResult; }
    // 0 when the task exists; the record is then filled. sid is an in-out value the module ignores.
    virtual uint32_t GetTask(qv::WString& sid, const InterfaceId& taskId, TaskRecord& record) = 0; // slot 3
    virtual uint32_t CreateTask(const TaskRecord& record, uint32_t flags) = 0; // slot 4
    virtual uint32_t Reserved5() { return kReservedSlotResult; }
    virtual uint32_t DeleteTask(qv::WString& sid, const InterfaceId& taskId) = 0; // slot 6
    virtual uint32_t Reserved7() { return kReservedSlotResult; }
    virtual uint32_t Reserved8() { return kReservedSlotResult; }
    virtual uint32_t Reserved9() { return kReservedSlotResult; }
    virtual uint32_t Reserved10() { return kReservedSlotResult; }
    virtual uint32_t Reserved11() { return kReservedSlotResult; }
    virtual uint32_t Reserved12() { return kReservedSlotResult; }
    virtual uint32_t Reserved13() { return kReservedSlotResult; }
    virtual uint32_t Reserved14() { return kReservedSlotResult; }
    virtual uint32_t Reserved15() { return kReservedSlotResult; }
    virtual uint32_t Reserved16() { return kReservedSlotResult; }
    virtual uint32_t Reserved17() { return kReservedSlotResult; }
    // Fills the summary with the results of the task; 0 on success.
    virtual uint32_t GetTaskResults(const qv::WString& sid, const TaskReference& task, ScanSummary& summary) = 0; // slot 18
    virtual uint32_t Reserved19() { return kReservedSlotResult; }
    virtual uint32_t StartTask(qv::WString& sid, const InterfaceId& taskId, uint32_t processId, uint32_t reserved1,
                               uint32_t startFlags, uint32_t reserved2) = 0; // slot 20
    virtual uint32_t Reserved21() { return kReservedSlotResult; }
    virtual uint32_t Reserved22() { return kReservedSlotResult; }
    virtual uint32_t Reserved23() { return kReservedSlotResult; }
    virtual uint32_t Reserved24() { return kReservedSlotResult; }
    virtual uint32_t Reserved25() { return kReservedSlotResult; }
    virtual uint32_t Reserved26() { return kReservedSlotResult; }
    // Task events arrive until Unsubscribe is called with the same arguments.
    virtual uint32_t Subscribe(ITaskEvents* sink, uint32_t reserved1, uint32_t reserved2) = 0; // slot 27
    virtual uint32_t Reserved28() { return kReservedSlotResult; }
    virtual uint32_t Reserved29() { return kReservedSlotResult; }
    // No event reaches the sink after this returns.
    virtual uint32_t Unsubscribe(ITaskEvents* sink, uint32_t reserved1, uint32_t reserved2) = 0; // slot 30

protected:
    ~IOnDemand() = default;
};

} // namespace qv::cvsdk::FileScan
