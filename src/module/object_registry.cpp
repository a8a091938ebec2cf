#include "module/object_registry.h"

ObjectRegistry::ObjectRegistry()
{
    ::InitializeCriticalSection(&section_);
}

ObjectRegistry::~ObjectRegistry()
{
    ::DeleteCriticalSection(&section_);
}

uint32_t ObjectRegistry::Register(const std::wstring& name, IObjectConstructor* constructor)
{
    Lock lock(*this);
    return constructors_.emplace(name, constructor).second ? ERROR_SUCCESS : ERROR_ALREADY_EXISTS;
}

void ObjectRegistry::Unregister(const std::wstring& name)
{
    Lock lock(*this);
    constructors_.erase(name);
}

IObjectConstructor* ObjectRegistry::Lookup(const std::wstring& name)
{
    Lock lock(*this);
    const auto found = constructors_.find(name);
    return found == constructors_.end() ? nullptr : found->second;
}

ObjectRegistry::Lock::Lock(ObjectRegistry& registry) noexcept : section_(registry.section_)
{
    ::EnterCriticalSection(&section_);
}

ObjectRegistry::Lock::~Lock()
{
    ::LeaveCriticalSection(&section_);
}
