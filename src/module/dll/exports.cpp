#include <windows.h>

#include "module/interface_id.h"
#include "module/object_factory.h"

extern "C" DWORD QvCreateObject(const wchar_t* name, InterfaceId id, void** object)
{
    return CreateExportedObject(name, id, object);
}

extern "C" void QvDestroyObject(const wchar_t* name, void* object)
{
    DestroyExportedObject(name, object);
}
