#pragma once
#include <cstdint>

namespace qv {

// Enumerators live on the heap of the module that made them; Release frees them there.
template <typename T>
class IConstListEnum
{
public:
    virtual bool HasMore() const = 0;
    virtual void Next() = 0;
    virtual const T* Value() const = 0;
    virtual void Release() = 0;
    virtual void Reset() = 0;
    // The host's compiler gives the destructor one slot: declared as a plain slot here.
    virtual void* DeletingDestructor(unsigned int flags) = 0;

protected:
    ~IConstListEnum() = default;
};

template <typename T>
class IListEnum
{
public:
    virtual bool HasMore() const = 0;
    virtual void Next() = 0;
    virtual T* Value() = 0;
    virtual void Release() = 0;
    virtual void Reset() = 0;
    virtual void* DeletingDestructor(unsigned int flags) = 0;

protected:
    ~IListEnum() = default;
};

// Sequence passed between modules; like IMap, owned by its creator and never destroyed here.
template <typename T>
class IList
{
public:
    virtual uint32_t PushBack(const T& value) = 0;
    virtual uint32_t PushFront(const T& value) = 0;
    virtual T* Back() = 0;
    virtual const T* Back() const = 0;
    virtual uint32_t GetBack(T& destination) const = 0;
    virtual T* Front() = 0;
    virtual const T* Front() const = 0;
    virtual uint32_t GetFront(T& destination) const = 0;
    // Erases the element the enumerator stands on and moves it to the next one.
    virtual uint32_t Remove(IListEnum<T>& position) = 0;
    virtual IConstListEnum<T>* GetConstEnum() const = 0;
    virtual IListEnum<T>* GetEnum() = 0;
    virtual void Clear() = 0;
    virtual int32_t Count() const = 0;

protected:
    ~IList() = default;
};

} // namespace qv
