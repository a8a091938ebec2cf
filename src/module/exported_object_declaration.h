#pragma once
#include <string>
#include <typeinfo>

#include "module/iobject_constructor.h"
#include "module/iqv_base_interface.h"
#include "module/object_registry.h"
#include "module/registry_ref.h"

// Offers class T under name for as long as the declaration lives; meant as a namespace-scope
// object of the module, so the name exists while the module is loaded.
template <typename T>
class ExportedObjectDeclaration final : public IObjectConstructor
{
public:
    explicit ExportedObjectDeclaration(const wchar_t* name) : name_(name)
    {
        registryRef_.Acquire();
        registryRef_.Registry()->Register(name_, this);
    }

    ~ExportedObjectDeclaration()
    {
        registryRef_.Registry()->Unregister(name_);
        registryRef_.Release();
    }

    ExportedObjectDeclaration(const ExportedObjectDeclaration&) = delete;
    ExportedObjectDeclaration& operator=(const ExportedObjectDeclaration&) = delete;

    IQvBaseInterface* Create() override
    {
        T* object = new T();
        auto* base = static_cast<IQvBaseInterface*>(object->QueryInterface(IQvBaseInterface::kId));
        if (base == nullptr)
            delete object; // no handle to give out, so nobody could ever destroy it
        return base;
    }

    // The host may hand back any interface pointer of the object. typeid and dynamic_cast<void*>
    // read the most derived type and address from that pointer's own vtable; a plain downcast
    // from IQvBaseInterface would reject every interface but the primary one.
    void Destroy(IQvBaseInterface* object) override
    {
        if (object == nullptr || typeid(*object) != typeid(T))
            return;
        delete static_cast<T*>(dynamic_cast<void*>(object));
    }

    bool IsSingleton() override { return false; }

private:
    std::wstring name_;
    RegistryRef registryRef_;
};
