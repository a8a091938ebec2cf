#pragma once
// Reads and cleans registry state straight through Win32, independent of the code under test.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace registry_probe {

// Where the tests put their keys: the real autologger path, names starting "qv_test".
inline const std::wstring kAutologgerRoot = L"SYSTEM\\CurrentControlSet\\Control\\WMI\\Autologger";

struct RawValue
{
    bool exists = false;
    DWORD type = 0;
    std::vector<uint8_t> bytes;
};

RawValue Read(const std::wstring& keyPath, const wchar_t* name);
bool KeyExists(const std::wstring& keyPath);
void Write(const std::wstring& keyPath, const wchar_t* name, DWORD type, const void* bytes, DWORD size);
void DeleteTree(const std::wstring& keyPath);
std::vector<std::wstring> SubkeyNames(const std::wstring& keyPath);
std::vector<std::wstring> ValueNames(const std::wstring& keyPath);

std::vector<uint8_t> SzBytes(const std::wstring& text);
std::vector<uint8_t> DwordBytes(uint32_t value);
std::vector<uint8_t> QwordBytes(uint64_t value);

} // namespace registry_probe
