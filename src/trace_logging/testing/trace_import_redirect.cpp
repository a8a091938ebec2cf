#include "trace_logging/testing/trace_import_redirect.h"

#include <cstring>

namespace {

SimulatedTraceControl* g_simulation = nullptr;

ULONG WINAPI SimulatedStartTraceW(PTRACEHANDLE handle, LPCWSTR name, PEVENT_TRACE_PROPERTIES properties)
{
    return g_simulation->StartSession(handle, name, properties);
}

ULONG WINAPI SimulatedEnableTrace(ULONG enable, ULONG flags, ULONG level, LPCGUID provider, TRACEHANDLE handle)
{
    return g_simulation->EnableProvider(enable, flags, level, provider, handle);
}

ULONG WINAPI SimulatedControlTraceW(TRACEHANDLE handle, LPCWSTR name, PEVENT_TRACE_PROPERTIES properties,
                                    ULONG code)
{
    return g_simulation->ControlSession(handle, name, properties, code);
}

struct Replacement
{
    const char* name;
    void* function;
};

const Replacement kReplacements[] = {
    {"StartTraceW", reinterpret_cast<void*>(&SimulatedStartTraceW)},
    {"EnableTrace", reinterpret_cast<void*>(&SimulatedEnableTrace)},
    {"ControlTraceW", reinterpret_cast<void*>(&SimulatedControlTraceW)},
};

void WriteSlot(void** slot, void* value)
{
    DWORD oldProtection = 0;
    if (!::VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &oldProtection))
        return;
    *slot = value;
    ::VirtualProtect(slot, sizeof(void*), oldProtection, &oldProtection);
}

} // namespace

TraceImportRedirect::TraceImportRedirect(HMODULE module, SimulatedTraceControl& simulation)
{
    g_simulation = &simulation;
    auto* base = reinterpret_cast<unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (module == nullptr || dos->e_magic != IMAGE_DOS_SIGNATURE)
        return;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return;
    for (auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         descriptor->Name != 0; ++descriptor)
    {
        const DWORD namesRva = descriptor->OriginalFirstThunk ? descriptor->OriginalFirstThunk : descriptor->FirstThunk;
        auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + namesRva);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots)
        {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            for (const Replacement& replacement : kReplacements)
            {
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), replacement.name) != 0)
                    continue;
                void** slot = reinterpret_cast<void**>(&slots->u1.Function);
                patches_.push_back({slot, *slot});
                WriteSlot(slot, replacement.function);
                ++redirected_;
            }
        }
    }
}

TraceImportRedirect::~TraceImportRedirect()
{
    for (const Patch& patch : patches_)
        WriteSlot(patch.slot, patch.original);
    g_simulation = nullptr;
}
