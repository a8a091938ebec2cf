#include "module/object_factory.h"

#include <windows.h>

#include <string>

#include "module/iobject_constructor.h"
#include "module/iqv_base_interface.h"
#include "module/object_registry.h"
#include "module/registry_ref.h"

namespace {

// Runs action on name's constructor inside the registry's critical section, if name is known.
template <typename Action>
void WithConstructor(const wchar_t* name, Action action)
{
    RegistryRef registryRef;
    registryRef.Acquire();
    ObjectRegistry& registry = *registryRef.Registry();
    ObjectRegistry::Lock lock(registry);
    if (IObjectConstructor* constructor = registry.Lookup(std::wstring(name)))
        action(*constructor);
}

} // namespace

uint32_t CreateExportedObject(const wchar_t* name, InterfaceId id, void** object)
{
    if (object == nullptr)
        return ERROR_INVALID_PARAMETER;
    *object = nullptr;
    if (name == nullptr)
        return ERROR_NOT_FOUND;

    IQvBaseInterface* created = nullptr;
    WithConstructor(name, [&](IObjectConstructor& constructor) { created = constructor.Create(); });
    if (created == nullptr)
        return ERROR_NOT_FOUND;

    *object = created->QueryInterface(id);
    if (*object != nullptr)
        return ERROR_SUCCESS;

    WithConstructor(name, [&](IObjectConstructor& constructor) { constructor.Destroy(created); });
    return ERROR_NOT_FOUND;
}

void DestroyExportedObject(const wchar_t* name, void* object)
{
    if (name == nullptr || object == nullptr)
        return;
    WithConstructor(name, [&](IObjectConstructor& constructor) {
        constructor.Destroy(static_cast<IQvBaseInterface*>(object));
    });
}
