#pragma once
// The monitor's private steps that some figures time on their own (a save without the intake
// around it, a publication without the refresh around it). An explicit instantiation may name
// private members; the friend function defined in it hands the member pointer out. Only the
// benchmark does this, and only for the members listed here.
#include "malware_monitor/malware_monitor_al.h"

namespace bench {

template <typename Tag, typename Tag::Type member>
struct PrivateMemberOf
{
    friend typename Tag::Type MemberPointer(Tag) { return member; }
};

struct SaveSettingsMember
{
    using Type = void (MalwareMonitorAL::*)();
    friend Type MemberPointer(SaveSettingsMember);
};

struct ComputeAndSendStatusMember
{
    using Type = void (MalwareMonitorAL::*)();
    friend Type MemberPointer(ComputeAndSendStatusMember);
};

struct MalwareListMember
{
    using Type = MalwareList MalwareMonitorAL::*;
    friend Type MemberPointer(MalwareListMember);
};

struct DataLockMember
{
    using Type = std::recursive_mutex MalwareMonitorAL::*;
    friend Type MemberPointer(DataLockMember);
};

template struct PrivateMemberOf<SaveSettingsMember, &MalwareMonitorAL::SaveSettings>;
template struct PrivateMemberOf<ComputeAndSendStatusMember, &MalwareMonitorAL::ComputeAndSendStatus>;
template struct PrivateMemberOf<MalwareListMember, &MalwareMonitorAL::malwareList>;
template struct PrivateMemberOf<DataLockMember, &MalwareMonitorAL::dataLock>;

inline void SaveSettingsOf(MalwareMonitorAL& monitor)
{
    (monitor.*MemberPointer(SaveSettingsMember{}))();
}

inline void ComputeAndSendStatusOf(MalwareMonitorAL& monitor)
{
    (monitor.*MemberPointer(ComputeAndSendStatusMember{}))();
}

// Add an item the way the intake does, without the save that follows it there.
inline bool AddToListOf(MalwareMonitorAL& monitor, const MalwareItem& item)
{
    std::lock_guard<std::recursive_mutex> guard(monitor.*MemberPointer(DataLockMember{}));
    return (monitor.*MemberPointer(MalwareListMember{})).AddUniqueItem(item);
}

} // namespace bench
