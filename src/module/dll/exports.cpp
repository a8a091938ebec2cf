#include <windows.h>

#include "module/interface_id.h"

extern "C" DWORD QvCreateObject(const wchar_t*, InterfaceId, void** object)
{
    *object = nullptr;
    return ERROR_NOT_FOUND;
}

extern "C" void QvDestroyObject(const wchar_t*, void*)
{
}
