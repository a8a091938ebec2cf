#pragma once
#include <windows.h>

#include <string>

#include "module/interface_id.h"
#include "sdk/unique_handle.h"

// Folder of the running test program, with a trailing backslash.
std::wstring TestProgramFolder();

// The built qvmodule.dll, loaded for a test the way the host loads it and unloaded at the end.
class QvModuleLibrary
{
public:
    using CreateFunction = DWORD (*)(const wchar_t* name, InterfaceId id, void** object);
    using DestroyFunction = void (*)(const wchar_t* name, void* object);

    // relativePath: below the test program's folder, e.g. L"qvmodule.dll" or L"nolog\\qvmodule.dll".
    explicit QvModuleLibrary(const wchar_t* relativePath = L"qvmodule.dll");

    bool Loaded() const { return create_ != nullptr && destroy_ != nullptr; }
    HMODULE Handle() const { return module_.Get(); }
    std::wstring Path() const;

    DWORD Create(const wchar_t* name, InterfaceId id, void** object) const { return create_(name, id, object); }
    void Destroy(const wchar_t* name, void* object) const { destroy_(name, object); }

    // Unloads now rather than at destruction.
    void Unload();

private:
    UniqueModule module_;
    CreateFunction create_ = nullptr;
    DestroyFunction destroy_ = nullptr;
};
