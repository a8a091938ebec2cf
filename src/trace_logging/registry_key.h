#pragma once
#include <windows.h>

#include <vector>

#include "sdk/qv_string.h"
#include "sdk/unique_handle.h"
#include "trace_logging/registry_value.h"

// Thin owner of one registry key. Value and enumeration operations leave their Windows
// result in the thread's last error (also 0), the others return it.
class RegistryKey
{
public:
    RegistryKey() = default;

    // On success the key held so far is closed and replaced; on failure it stays.
    LSTATUS Open(HKEY parent, const wchar_t* subkey, REGSAM access);
    // Opens or creates subkey (and missing keys above it), non-volatile; same replacement rule.
    LSTATUS Create(HKEY parent, const wchar_t* subkey, REGSAM access);
    void Close() noexcept { handle_.Reset(); }

    HKEY Handle() const noexcept { return handle_.Get(); }
    REGSAM Access() const noexcept { return access_; }

    // A value that does not exist still comes back (type 0, no data) and can be written.
    RegistryValue QueryValue(const wchar_t* name) const;

    std::vector<qv::WString> GetValueNames() const;
    std::vector<qv::WString> GetSubkeyNames() const;

    // Removes every value and, depth first, every subkey; keys that do not open are skipped.
    LSTATUS DeleteContents();
    // Recursive: 2 when the subkey does not open, else the result of deleting it after its contents.
    LSTATUS DeleteSubkey(const wchar_t* name, bool recursive);

private:
    UniqueRegKey handle_;
    REGSAM access_ = 0;
};
