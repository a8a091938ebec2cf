#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "sdk/qv_string.h"

// One value of an open key. The key handle is borrowed from the RegistryKey it came from,
// so a value must not outlive that key. Results go to the thread's last error.
class RegistryValue
{
public:
    RegistryValue(HKEY key, const wchar_t* name) : key_(key), name_(name) {}

    // Replaces type and bytes, then writes them; last error = RegSetValueExW's result.
    void SetValue(DWORD type, const void* bytes, DWORD size);

    const qv::WString& Name() const noexcept { return name_; }
    HKEY Key() const noexcept { return key_; }
    DWORD Type() const noexcept { return type_; }
    const std::vector<uint8_t>& Data() const noexcept { return data_; }

private:
    friend class RegistryKey;

    HKEY key_;
    qv::WString name_;
    DWORD type_ = 0;
    std::vector<uint8_t> data_;
};
