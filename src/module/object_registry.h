#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

struct IObjectConstructor;

// Exported object names and their constructors. Names are exact and case-sensitive.
class ObjectRegistry final
{
public:
    ObjectRegistry();
    ~ObjectRegistry();
    ObjectRegistry(const ObjectRegistry&) = delete;
    ObjectRegistry& operator=(const ObjectRegistry&) = delete;

    // 0, or ERROR_ALREADY_EXISTS leaving the first registration in place.
    uint32_t Register(const std::wstring& name, IObjectConstructor* constructor);
    // Removes the name whoever registered it.
    void Unregister(const std::wstring& name);
    IObjectConstructor* Lookup(const std::wstring& name);

    // Holds the registry's critical section, so that a lookup and the constructor's work on the
    // result happen under one hold.
    class Lock
    {
    public:
        explicit Lock(ObjectRegistry& registry) noexcept;
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        CRITICAL_SECTION& section_;
    };

private:
    CRITICAL_SECTION section_;
    std::map<std::wstring, IObjectConstructor*> constructors_;
};
