#pragma once
#include <cstddef>

template <typename Listener>
class SynchronyzedObjectContainer;

// One walk over a listener container: the next position to visit.
template <typename Listener>
struct EventCursor
{
    std::size_t position;
    SynchronyzedObjectContainer<Listener>* container;
};
