#include "registry_probe.h"

#include <cstring>

#include "sdk/unique_handle.h"

namespace registry_probe {

namespace {

UniqueRegKey OpenKey(const std::wstring& keyPath)
{
    UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        key.Detach();
    return key;
}

template <typename T>
std::vector<uint8_t> BytesOf(const T& value)
{
    std::vector<uint8_t> bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

} // namespace

RawValue Read(const std::wstring& keyPath, const wchar_t* name)
{
    RawValue value;
    UniqueRegKey key = OpenKey(keyPath);
    if (!key)
        return value;
    DWORD size = 0;
    if (::RegQueryValueExW(key.Get(), name, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
        return value;
    value.bytes.resize(size);
    value.exists = ::RegQueryValueExW(key.Get(), name, nullptr, &value.type, value.bytes.data(), &size) ==
                   ERROR_SUCCESS;
    value.bytes.resize(size);
    return value;
}

bool KeyExists(const std::wstring& keyPath)
{
    return OpenKey(keyPath).IsValid();
}

void Write(const std::wstring& keyPath, const wchar_t* name, DWORD type, const void* bytes, DWORD size)
{
    UniqueRegKey key;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(),
                          nullptr) != ERROR_SUCCESS)
    {
        key.Detach();
        return;
    }
    ::RegSetValueExW(key.Get(), name, 0, type, static_cast<const BYTE*>(bytes), size);
}

void DeleteTree(const std::wstring& keyPath)
{
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, keyPath.c_str());
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, keyPath.c_str());
}

std::vector<std::wstring> SubkeyNames(const std::wstring& keyPath)
{
    std::vector<std::wstring> names;
    UniqueRegKey key = OpenKey(keyPath);
    wchar_t name[256];
    for (DWORD i = 0;; ++i)
    {
        DWORD length = 256;
        if (!key || ::RegEnumKeyExW(key.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

std::vector<std::wstring> ValueNames(const std::wstring& keyPath)
{
    std::vector<std::wstring> names;
    UniqueRegKey key = OpenKey(keyPath);
    wchar_t name[16384];
    for (DWORD i = 0;; ++i)
    {
        DWORD length = 16384;
        if (!key || ::RegEnumValueW(key.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

std::vector<uint8_t> SzBytes(const std::wstring& text)
{
    const auto* begin = reinterpret_cast<const uint8_t*>(text.c_str());
    return std::vector<uint8_t>(begin, begin + (text.size() + 1) * sizeof(wchar_t));
}

std::vector<uint8_t> DwordBytes(uint32_t value)
{
    return BytesOf(value);
}

std::vector<uint8_t> QwordBytes(uint64_t value)
{
    return BytesOf(value);
}

} // namespace registry_probe
