#include "module/testing/task_builders.h"

namespace testing_records {

TaskReference MakeTaskReference(const InterfaceId& id, const wchar_t* sid, const wchar_t* name)
{
    TaskReference task;
    task.id = id;
    task.sid = sid;
    task.name = name;
    return task;
}

TaskRecord MakeConfiguredTaskRecord(const InterfaceId& id)
{
    TaskRecord record;
    record.id = id;
    record.sid = L"";
    record.name = L"Full scan";
    record.value36 = 36;
    record.value40 = 40;
    record.flag65 = 0;
    record.flag66 = 1;
    record.value68 = 68;
    record.flag78 = 0;
    record.exclusions.push_back(qv::Product::ExclusionEntry{0, qv::WString(L"C:\\Excluded")});
    record.scanTargets.push_back(qv::WString(L"C:\\"));
    record.flag104 = 1;
    record.value140 = 7;
    record.value144 = 7;
    record.value148 = 7;
    record.value152 = 7;
    record.value156 = 7;
    record.value164 = 164;
    record.values168.PushBack(1);
    record.values168.PushBack(2);
    record.properties.Insert(qv::WString(L"isSilent"), qv::WString(L"false"));
    record.properties.Insert(qv::WString(L"priority"), qv::WString(L"normal"));
    record.value244 = 244;
    record.value272 = 272;
    record.value276 = 276;
    for (uint8_t& byte : record.reserved44)
        byte = 0x44;
    for (uint8_t& byte : record.reserved246)
        byte = 0x46;
    return record;
}

} // namespace testing_records
