#pragma once
#include <cstdint>

#include "module/interface_id.h"

// What QvCreateObject and QvDestroyObject do, over the module's registry.

// 0 with *object set to the new object's interface id; ERROR_NOT_FOUND (1168) with *object null
// when the name is not registered, nothing was built, or the object lacks the interface.
uint32_t CreateExportedObject(const wchar_t* name, InterfaceId id, void** object);

// Destroys an object made under name; an unknown name or a foreign object is left alone.
void DestroyExportedObject(const wchar_t* name, void* object);
