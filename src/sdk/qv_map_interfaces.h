#pragma once
#include <cstdint>

namespace qv {

// Enumerators live on the heap of the module that made them; Release frees them there.
template <typename K, typename V>
class IConstEnum
{
public:
    virtual bool HasMore() const = 0;
    virtual void Next() = 0;
    virtual const K* Key() const = 0;
    virtual const V* Value() const = 0;
    virtual void Release() = 0;
    virtual void Reset() = 0;
    // The host's compiler gives the destructor one slot: declared as a plain slot here.
    virtual void* DeletingDestructor(unsigned int flags) = 0;

protected:
    ~IConstEnum() = default;
};

template <typename K, typename V>
class IEnum
{
public:
    virtual bool HasMore() const = 0;
    virtual void Next() = 0;
    virtual V* Value() = 0;
    virtual const K* Key() const = 0;
    virtual void Release() = 0;
    virtual void Reset() = 0;
    virtual void* DeletingDestructor(unsigned int flags) = 0;

protected:
    ~IEnum() = default;
};

// Keyed collection passed between modules. Every operation runs in the implementing module,
// so its nodes never change heaps. Owned and destroyed by its creator, never through here.
template <typename K, typename V>
class IMap
{
public:
    virtual uint32_t Insert(const K& key, const V& value) = 0;
    virtual V* Find(const K& key) = 0;
    virtual const V* Find(const K& key) const = 0;
    virtual uint32_t Get(const K& key, V& destination) const = 0;
    // Erases the element the enumerator stands on and moves it to the next one.
    virtual uint32_t Remove(IEnum<K, V>& position) = 0;
    virtual uint32_t Remove(const K& key) = 0;
    virtual IConstEnum<K, V>* GetConstEnum() const = 0;
    virtual IEnum<K, V>* GetEnum() = 0;
    virtual void Clear() = 0;
    virtual uint32_t Count() const = 0;

protected:
    ~IMap() = default;
};

} // namespace qv
