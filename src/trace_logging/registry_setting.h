#pragma once
#include <windows.h>

#include <string>

// One registry value to write, its content given as text (REG_SZ, REG_DWORD or REG_QWORD).
struct RegistrySetting
{
    std::wstring name;
    std::wstring value;
    DWORD type;
};
