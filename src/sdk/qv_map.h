#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sdk/linked_position.h"
#include "sdk/qv_key_traits.h"
#include "sdk/qv_map_interfaces.h"

namespace qv {

template <typename K, typename V>
class Map;

namespace map_detail {

using link_detail::Link;
using link_detail::Position;

template <typename K, typename V>
struct Node : Link
{
    Node(const K& k, const V& v, uint32_t h) : Link{nullptr, nullptr}, hash(h), key(k), value(v) {}

    Node* bucketNext = nullptr;
    uint32_t hash;
    K key;
    V value;
};

} // namespace map_detail

template <typename K, typename V>
class ConstEnum final : public IConstEnum<K, V>
{
public:
    explicit ConstEnum(map_detail::Link* list) : position{list, list->next} {}
    ~ConstEnum() = default;

    bool HasMore() const override { return position.HasMore(); }
    void Next() override { position.Next(); }
    const K* Key() const override { return HasMore() ? &CurrentNode()->key : nullptr; }
    const V* Value() const override { return HasMore() ? &CurrentNode()->value : nullptr; }
    void Release() override { DeletingDestructor(1); }
    void Reset() override { position.Reset(); }
    void* DeletingDestructor(unsigned int flags) override
    {
        if (flags & 1)
            delete this;
        else
            this->~ConstEnum();
        return this;
    }

private:
    map_detail::Node<K, V>* CurrentNode() const { return static_cast<map_detail::Node<K, V>*>(position.current); }

    map_detail::Position position;
};

template <typename K, typename V>
class Enum final : public IEnum<K, V>
{
public:
    explicit Enum(map_detail::Link* list) : position{list, list->next} {}
    ~Enum() = default;

    bool HasMore() const override { return position.HasMore(); }
    void Next() override { position.Next(); }
    V* Value() override { return HasMore() ? &CurrentNode()->value : nullptr; }
    const K* Key() const override { return HasMore() ? &CurrentNode()->key : nullptr; }
    void Release() override { DeletingDestructor(1); }
    void Reset() override { position.Reset(); }
    void* DeletingDestructor(unsigned int flags) override
    {
        if (flags & 1)
            delete this;
        else
            this->~Enum();
        return this;
    }

private:
    friend class Map<K, V>;

    map_detail::Node<K, V>* CurrentNode() const { return static_cast<map_detail::Node<K, V>*>(position.current); }

    map_detail::Position position;
};

// Hash map whose nodes are also chained in insertion order, the order enumerators walk.
// Copies are deep. Allocation failures end the process: nothing is thrown across the interface.
template <typename K, typename V>
class Map final : public IMap<K, V>
{
    using Node = map_detail::Node<K, V>;
    using Link = map_detail::Link;
    using Traits = KeyTraits<K>;

public:
    Map() noexcept = default;
    Map(const Map& other) : Map() { CopyFrom(other); }
    Map& operator=(const Map& other)
    {
        if (this != &other)
        {
            Clear();
            CopyFrom(other);
        }
        return *this;
    }
    ~Map() { Clear(); }

    uint32_t Insert(const K& key, const V& value) noexcept override
    {
        const uint32_t hash = Traits::Hash(key);
        if (FindNode(key, hash))
            return ERROR_ALREADY_EXISTS;
        Append(key, value, hash);
        return ERROR_SUCCESS;
    }

    V* Find(const K& key) noexcept override
    {
        Node* node = FindNode(key, Traits::Hash(key));
        return node ? &node->value : nullptr;
    }

    const V* Find(const K& key) const noexcept override
    {
        const Node* node = FindNode(key, Traits::Hash(key));
        return node ? &node->value : nullptr;
    }

    uint32_t Get(const K& key, V& destination) const noexcept override
    {
        const Node* node = FindNode(key, Traits::Hash(key));
        if (!node)
            return ERROR_NOT_FOUND;
        destination = node->value;
        return ERROR_SUCCESS;
    }

    // The enumerator must come from this map's GetEnum; one standing past the end, or on
    // another map, changes nothing.
    uint32_t Remove(IEnum<K, V>& position) noexcept override
    {
        map_detail::Position& at = static_cast<Enum<K, V>&>(position).position;
        if (at.list != &nodes || !at.HasMore())
            return ERROR_NOT_FOUND;
        Node* node = static_cast<Node*>(at.current);
        at.Next();
        Destroy(node);
        return ERROR_SUCCESS;
    }

    uint32_t Remove(const K& key) noexcept override
    {
        Node* node = FindNode(key, Traits::Hash(key));
        if (!node)
            return ERROR_NOT_FOUND;
        Destroy(node);
        return ERROR_SUCCESS;
    }

    IConstEnum<K, V>* GetConstEnum() const noexcept override
    {
        return new ConstEnum<K, V>(const_cast<Link*>(&nodes));
    }

    IEnum<K, V>* GetEnum() noexcept override { return new Enum<K, V>(&nodes); }

    void Clear() noexcept override
    {
        for (Link* link = nodes.next; link != &nodes;)
        {
            Link* next = link->next;
            delete static_cast<Node*>(link);
            link = next;
        }
        nodes = {&nodes, &nodes};
        for (Node*& head : buckets)
            head = nullptr;
        count = 0;
    }

    uint32_t Count() const noexcept override { return count; }

private:
    static constexpr size_t kFirstBuckets = 8;

    void CopyFrom(const Map& other)
    {
        for (const Link* link = other.nodes.next; link != &other.nodes; link = link->next)
        {
            const Node* node = static_cast<const Node*>(link);
            Append(node->key, node->value, node->hash);
        }
    }

    Node* FindNode(const K& key, uint32_t hash) const
    {
        if (buckets.empty())
            return nullptr;
        for (Node* node = buckets[hash % buckets.size()]; node; node = node->bucketNext)
        {
            if (node->hash == hash && Traits::Equal(node->key, key))
                return node;
        }
        return nullptr;
    }

    // Appends at the end of the iteration order; grows the table past one node per bucket.
    // Whatever throws, throws before the map changes.
    void Append(const K& key, const V& value, uint32_t hash)
    {
        if (count + 1 > buckets.size())
            Rehash(buckets.empty() ? kFirstBuckets : buckets.size() * 2);
        Node* node = new Node(key, value, hash);
        Node*& head = buckets[node->hash % buckets.size()];
        node->bucketNext = head;
        head = node;
        node->prev = nodes.prev;
        node->next = &nodes;
        nodes.prev->next = node;
        nodes.prev = node;
        ++count;
    }

    void Destroy(Node* node)
    {
        for (Node** slot = &buckets[node->hash % buckets.size()]; *slot; slot = &(*slot)->bucketNext)
        {
            if (*slot == node)
            {
                *slot = node->bucketNext;
                break;
            }
        }
        node->prev->next = node->next;
        node->next->prev = node->prev;
        delete node;
        --count;
    }

    void Rehash(size_t bucketCount)
    {
        std::vector<Node*> grown(bucketCount, nullptr);
        for (Link* link = nodes.next; link != &nodes; link = link->next)
        {
            Node* node = static_cast<Node*>(link);
            Node*& head = grown[node->hash % bucketCount];
            node->bucketNext = head;
            head = node;
        }
        buckets.swap(grown);
    }

    map_detail::Link nodes{&nodes, &nodes};
    std::vector<Node*> buckets;
    uint32_t count = 0;
};

} // namespace qv
