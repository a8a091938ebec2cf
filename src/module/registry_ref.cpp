#include "module/registry_ref.h"

#include "module/object_registry.h"

namespace {

SharedInstance<ObjectRegistry> registry;

} // namespace

SharedInstance<ObjectRegistry>& SharedRegistry()
{
    return registry;
}

RegistryRef::RegistryRef() : reference_(registry) {}

RegistryRef::~RegistryRef()
{
    reference_.Release();
}

void RegistryRef::Acquire()
{
    reference_.Acquire();
}

void RegistryRef::Release()
{
    reference_.Release();
}

ObjectRegistry* RegistryRef::Registry() const
{
    return reference_.Get();
}
