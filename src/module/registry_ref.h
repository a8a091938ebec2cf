#pragma once
#include "sdk/shared_instance.h"

class ObjectRegistry;

// The module's one object registry: it exists while any RegistryRef holds it.
SharedInstance<ObjectRegistry>& SharedRegistry();

// A holder's references on the shared registry; Release drops all of them.
class RegistryRef
{
public:
    RegistryRef();
    ~RegistryRef();
    RegistryRef(const RegistryRef&) = delete;
    RegistryRef& operator=(const RegistryRef&) = delete;

    void Acquire();
    void Release();
    // Null while nothing is acquired.
    ObjectRegistry* Registry() const;

private:
    SharedReference<ObjectRegistry> reference_;
};
