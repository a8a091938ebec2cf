#pragma once

namespace qv {
namespace link_detail {

// A node of a circular doubly linked list whose sentinel is a bare Link.
struct Link
{
    Link* prev;
    Link* next;
};

// Where an enumerator stands: the list's sentinel and the current node (the sentinel when
// past the end).
struct Position
{
    Link* list;
    Link* current;

    bool HasMore() const { return current != list; }
    void Next()
    {
        if (current != list)
            current = current->next;
    }
    void Reset() { current = list->next; }
};

} // namespace link_detail
} // namespace qv
