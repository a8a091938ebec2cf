#include "trace_logging/registry_key.h"

#include <algorithm>

namespace {

enum class NameKind
{
    Value,
    Subkey
};

std::vector<qv::WString> EnumerateNames(HKEY key, NameKind kind)
{
    std::vector<qv::WString> names;
    if (key == nullptr)
    {
        ::SetLastError(ERROR_INVALID_STATE);
        return names;
    }
    DWORD subkeyCount = 0;
    DWORD longestSubkey = 0;
    DWORD valueCount = 0;
    DWORD longestValue = 0;
    const LSTATUS info = ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeyCount, &longestSubkey, nullptr,
                                            &valueCount, &longestValue, nullptr, nullptr, nullptr);
    if (info != ERROR_SUCCESS)
    {
        ::SetLastError(static_cast<DWORD>(info));
        return names;
    }
    const DWORD count = kind == NameKind::Value ? valueCount : subkeyCount;
    const DWORD room = (kind == NameKind::Value ? longestValue : longestSubkey) + 1;
    std::vector<wchar_t> buffer(room + 1);
    for (DWORD index = 0; index < count; ++index)
    {
        std::fill(buffer.begin(), buffer.end(), L'\0');
        DWORD length = room;
        const LSTATUS result =
            kind == NameKind::Value
                ? ::RegEnumValueW(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr)
                : ::RegEnumKeyExW(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        names.emplace_back(buffer.data());
    }
    ::SetLastError(ERROR_SUCCESS);
    return names;
}

} // namespace

LSTATUS RegistryKey::Open(HKEY parent, const wchar_t* subkey, REGSAM access)
{
    HKEY opened = nullptr;
    const LSTATUS result = ::RegOpenKeyExW(parent, subkey, 0, access, &opened);
    if (result != ERROR_SUCCESS)
        return result;
    handle_.Reset(opened);
    access_ = access;
    return result;
}

LSTATUS RegistryKey::Create(HKEY parent, const wchar_t* subkey, REGSAM access)
{
    HKEY created = nullptr;
    const LSTATUS result = ::RegCreateKeyExW(parent, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                             &created, nullptr);
    if (result != ERROR_SUCCESS)
        return result;
    handle_.Reset(created);
    access_ = access;
    return result;
}

RegistryValue RegistryKey::QueryValue(const wchar_t* name) const
{
    RegistryValue value(handle_.Get(), name);
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS result = ::RegQueryValueExW(handle_.Get(), name, nullptr, &type, nullptr, &size);
    if (result != ERROR_SUCCESS)
    {
        ::SetLastError(static_cast<DWORD>(result));
        return value;
    }
    std::vector<uint8_t> data(size, 0);
    result = ::RegQueryValueExW(handle_.Get(), name, nullptr, &type, data.data(), &size);
    if (result == ERROR_SUCCESS)
    {
        // A value may shrink between the two reads.
        data.resize(size);
        value.type_ = type;
        value.data_ = std::move(data);
    }
    // Otherwise the value keeps key and name, so a following SetValue still writes the right one.
    ::SetLastError(static_cast<DWORD>(result));
    return value;
}

std::vector<qv::WString> RegistryKey::GetValueNames() const
{
    return EnumerateNames(handle_.Get(), NameKind::Value);
}

std::vector<qv::WString> RegistryKey::GetSubkeyNames() const
{
    return EnumerateNames(handle_.Get(), NameKind::Subkey);
}

LSTATUS RegistryKey::DeleteContents()
{
    for (const qv::WString& name : GetValueNames())
        ::RegDeleteValueW(handle_.Get(), name.c_str());
    for (const qv::WString& name : GetSubkeyNames())
    {
        RegistryKey child;
        if (child.Open(handle_.Get(), name.c_str(), access_) != ERROR_SUCCESS)
            continue;
        child.DeleteContents();
        child.Close();
        DeleteSubkey(name.c_str(), false);
    }
    return ERROR_SUCCESS;
}

LSTATUS RegistryKey::DeleteSubkey(const wchar_t* name, bool recursive)
{
    if (recursive)
    {
        RegistryKey child;
        if (child.Open(handle_.Get(), name, access_) != ERROR_SUCCESS)
            return ERROR_FILE_NOT_FOUND;
        child.DeleteContents();
    }
    return ::RegDeleteKeyExW(handle_.Get(), name, 0, 0);
}
