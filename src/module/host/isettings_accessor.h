#pragma once
#include <cstdint>

#include <json/value.h>

#include "module/host/reserved_slot.h"

// A view on one node of the settings store, handed out by ICVSettings for reading or for
// writing. The caller gives it back with Release.
struct ISettingsAccessor
{
    virtual uint32_t Reserved0() { return kReservedSlotResult; }
    virtual uint32_t Reserved1() { return kReservedSlotResult; }
    virtual uint32_t Release() = 0; // slot 2
    virtual uint32_t Reserved3() { return kReservedSlotResult; }
    virtual uint32_t Reserved4() { return kReservedSlotResult; }
    virtual uint32_t Reserved5() { return kReservedSlotResult; }
    virtual uint32_t Reserved6() { return kReservedSlotResult; }
    virtual uint32_t Reserved7() { return kReservedSlotResult; }
    virtual uint32_t Reserved8() { return kReservedSlotResult; }
    virtual uint32_t Reserved9() { return kReservedSlotResult; }
    virtual uint32_t Reserved10() { return kReservedSlotResult; }
    virtual uint32_t Reserved11() { return kReservedSlotResult; }
    virtual uint32_t Reserved12() { return kReservedSlotResult; }
    virtual uint32_t Reserved13() { return kReservedSlotResult; }
    // Number of writes that failed so far; 0 means none.
    virtual uint32_t ErrorCount() = 0; // slot 14
    virtual uint32_t Reserved15() { return kReservedSlotResult; }
    virtual bool ReadJson(const wchar_t* path, Json::Value& value, uint32_t flags) = 0; // slot 16
    virtual uint32_t Reserved17() { return kReservedSlotResult; }
    virtual uint32_t Reserved18() { return kReservedSlotResult; }
    virtual uint32_t Reserved19() { return kReservedSlotResult; }
    virtual uint32_t Reserved20() { return kReservedSlotResult; }
    virtual uint32_t Reserved21() { return kReservedSlotResult; }
    virtual bool ReadBool(const wchar_t* path, bool& value, uint32_t flags) = 0; // slot 22
    virtual uint32_t Reserved23() { return kReservedSlotResult; }
    virtual uint32_t Reserved24() { return kReservedSlotResult; }
    virtual uint32_t Reserved25() { return kReservedSlotResult; }
    virtual uint32_t Reserved26() { return kReservedSlotResult; }
    virtual uint32_t Reserved27() { return kReservedSlotResult; }
    virtual uint32_t Reserved28() { return kReservedSlotResult; }
    virtual uint32_t Reserved29() { return kReservedSlotResult; }
    virtual bool WriteJson(const wchar_t* path, const Json::Value& value) = 0; // slot 30
    virtual uint32_t Reserved31() { return kReservedSlotResult; }
    virtual uint32_t Reserved32() { return kReservedSlotResult; }
    virtual uint32_t Reserved33() { return kReservedSlotResult; }
    virtual uint32_t Reserved34() { return kReservedSlotResult; }
    virtual uint32_t Reserved35() { return kReservedSlotResult; }
    virtual bool WriteBool(const wchar_t* path, bool value) = 0; // slot 36

protected:
    ~ISettingsAccessor() = default;
};
