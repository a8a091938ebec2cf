#pragma once
#include <windows.h>

#include <cstdint>

#include "sdk/linked_position.h"
#include "sdk/qv_list_interfaces.h"

namespace qv {

template <typename T>
class List;

namespace list_detail {

using link_detail::Link;
using link_detail::Position;

template <typename T>
struct Node : Link
{
    explicit Node(const T& v) : Link{nullptr, nullptr}, value(v) {}
    T value;
};

} // namespace list_detail

template <typename T>
class ConstListEnum final : public IConstListEnum<T>
{
public:
    explicit ConstListEnum(list_detail::Link* list) : position{list, list->next} {}
    ~ConstListEnum() = default;

    bool HasMore() const override { return position.HasMore(); }
    void Next() override { position.Next(); }
    const T* Value() const override
    {
        return HasMore() ? &static_cast<list_detail::Node<T>*>(position.current)->value : nullptr;
    }
    void Release() override { DeletingDestructor(1); }
    void Reset() override { position.Reset(); }
    void* DeletingDestructor(unsigned int flags) override
    {
        if (flags & 1)
            delete this;
        else
            this->~ConstListEnum();
        return this;
    }

private:
    list_detail::Position position;
};

template <typename T>
class ListEnum final : public IListEnum<T>
{
public:
    explicit ListEnum(list_detail::Link* list) : position{list, list->next} {}
    ~ListEnum() = default;

    bool HasMore() const override { return position.HasMore(); }
    void Next() override { position.Next(); }
    T* Value() override { return HasMore() ? &static_cast<list_detail::Node<T>*>(position.current)->value : nullptr; }
    void Release() override { DeletingDestructor(1); }
    void Reset() override { position.Reset(); }
    void* DeletingDestructor(unsigned int flags) override
    {
        if (flags & 1)
            delete this;
        else
            this->~ListEnum();
        return this;
    }

private:
    friend class List<T>;

    list_detail::Position position;
};

// Circular doubly linked list with a sentinel. Copies are deep. Allocation failures end the
// process: nothing is thrown across the interface.
template <typename T>
class List final : public IList<T>
{
    using Node = list_detail::Node<T>;
    using Link = list_detail::Link;

public:
    List() noexcept = default;
    List(const List& other) : List() { CopyFrom(other); }
    List& operator=(const List& other)
    {
        if (this != &other)
        {
            Clear();
            CopyFrom(other);
        }
        return *this;
    }
    ~List() { Clear(); }

    uint32_t PushBack(const T& value) noexcept override
    {
        InsertBefore(&sentinel, value);
        return ERROR_SUCCESS;
    }

    uint32_t PushFront(const T& value) noexcept override
    {
        InsertBefore(sentinel.next, value);
        return ERROR_SUCCESS;
    }

    T* Back() noexcept override { return ValueAt(sentinel.prev); }
    const T* Back() const noexcept override { return ValueAt(sentinel.prev); }
    uint32_t GetBack(T& destination) const noexcept override { return CopyOut(sentinel.prev, destination); }

    T* Front() noexcept override { return ValueAt(sentinel.next); }
    const T* Front() const noexcept override { return ValueAt(sentinel.next); }
    uint32_t GetFront(T& destination) const noexcept override { return CopyOut(sentinel.next, destination); }

    // The enumerator must come from this list's GetEnum; one standing past the end, or on
    // another list, changes nothing.
    uint32_t Remove(IListEnum<T>& position) noexcept override
    {
        list_detail::Position& at = static_cast<ListEnum<T>&>(position).position;
        if (at.list != &sentinel || !at.HasMore())
            return ERROR_NOT_FOUND;
        Link* link = at.current;
        at.Next();
        link->prev->next = link->next;
        link->next->prev = link->prev;
        delete static_cast<Node*>(link);
        --count;
        return ERROR_SUCCESS;
    }

    IConstListEnum<T>* GetConstEnum() const noexcept override
    {
        return new ConstListEnum<T>(const_cast<Link*>(&sentinel));
    }

    IListEnum<T>* GetEnum() noexcept override { return new ListEnum<T>(&sentinel); }

    void Clear() noexcept override
    {
        for (Link* link = sentinel.next; link != &sentinel;)
        {
            Link* next = link->next;
            delete static_cast<Node*>(link);
            link = next;
        }
        sentinel = {&sentinel, &sentinel};
        count = 0;
    }

    int32_t Count() const noexcept override { return count; }

private:
    void CopyFrom(const List& other)
    {
        for (const Link* link = other.sentinel.next; link != &other.sentinel; link = link->next)
            InsertBefore(&sentinel, static_cast<const Node*>(link)->value);
    }

    void InsertBefore(Link* next, const T& value)
    {
        Node* node = new Node(value);
        node->next = next;
        node->prev = next->prev;
        next->prev->next = node;
        next->prev = node;
        ++count;
    }

    T* ValueAt(Link* link) const { return link == &sentinel ? nullptr : &static_cast<Node*>(link)->value; }

    uint32_t CopyOut(Link* link, T& destination) const
    {
        if (link == &sentinel)
            return ERROR_NOT_FOUND;
        destination = static_cast<Node*>(link)->value;
        return ERROR_SUCCESS;
    }

    Link sentinel{&sentinel, &sentinel};
    int32_t count = 0;
};

} // namespace qv
